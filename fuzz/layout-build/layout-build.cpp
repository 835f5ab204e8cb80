// Layout scripts and editor documents come from other programs and cards:
// any bytes, read as either and built into a page (a layout script also as
// a camera set's member), must build or fail cleanly without a fault.
#include "App/AppSettings.h"
#include "App/CameraSetLoad.h"
#include "App/DocumentFileKinds.h"
#include "App/DocumentHost.h"
#include "App/DocumentUi.h"
#include "App/FontCatalogue.h"
#include "App/SystemLayoutFolderServices.h"
#include "App/ZAVEditorDoc.h"
#include "Script/UDLScript.h"
#include "Script/ZAVScript.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

class HeadlessHost : public IDocumentHost
{
public:
    AppSettings& Settings() override { return m_settings; }
    std::string GetLocalizeIniPath() override { return ZAV_LOCALIZE_INI; }
    std::string GetDocumentsFolder() override { return "/tmp/"; }
    std::vector<std::string> GetMemoryCardRoots() override { return {}; }
    QWidget* MainWindow() override { return nullptr; }
    void SelectMode(int) override {}
    void ShowModeBar(bool) override {}
    void SelectTool(int) override {}
    void RedrawToolBoxInfo() override {}
    void RefreshView(bool) override {}
    void SetViewUpdates(bool) override {}
    void UpdateFrameTitle() override {}

private:
    AppSettings m_settings;
};

// Fixed fonts keep the runs independent of the machine's font set.
// Building a layout from a file opens no dialog.
class NoDocumentDialogs : public IDocumentUi
{
public:
    void RunNewWizard(CZAVEditorDoc&, QWidget*, int) override {}
    int RunSelectSaveDialog(CZAVEditorDoc&, QWidget*, int) override { return kSaveDialogCancel; }
    bool RunHeaderInfoDialog(CZAVEditorDoc&, QWidget*) override { return false; }
    std::optional<std::string> RunSaveFileDialog(QWidget*, const std::string&, const std::string&,
                                                 const std::string&) override
    {
        return std::nullopt;
    }
};

class FixedFonts : public IFontCatalogue
{
public:
    bool HasOutlineFamily(std::string_view face) override { return face == "Body"; }
    bool HasFamily(std::string_view face) override { return face == "Body" || face == "@Body"; }
    std::string DefaultInterfaceFace() override { return "Body"; }
    std::vector<std::string> SortedOutlineNames() override { return {"Body"}; }
};

struct Harness
{
    Harness()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = std::make_unique<QGuiApplication>(argc, argv);
        SetFontCatalogue(&fonts);
        char pattern[] = "/tmp/layout-build-fuzz-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        folder = std::string(made) + "/";
    }
    // Replays under `make test` leave nothing behind.
    ~Harness()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    int argc = 1;
    char name[16] = "layout-build";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
    FixedFonts fonts;
    std::string folder;
    HeadlessHost host;
    SystemLayoutFolderServices services{std::string()};
    NoDocumentDialogs ui;
    DocumentFileKinds kinds;
};

Harness& TheHarness()
{
    static Harness harness;
    return harness;
}

void WriteInput(const std::string& path, const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Harness& h = TheHarness();
    const std::string usd = h.folder + "input.usd";
    const std::string zvd = h.folder + "input.zvd";
    WriteInput(usd, data, size);
    WriteInput(zvd, data, size);
    {
        CUDLScript script;
        if (script.Read(usd)) {
            for (int camera : {0, 1}) {
                CZAVEditorDoc doc(h.host, h.services, h.ui, h.kinds);
                doc.SetDSCLayout(camera);
                doc.BuildFromLayoutScript(script);
            }
        }
    }
    {
        // As a member of a camera set in the harness's folder.
        CUDLScript script;
        if (script.Read(usd)) {
            CZAVEditorDoc doc(h.host, h.services, h.ui, h.kinds);
            doc.SetDSCLayout(1);
            const CameraSetPictures pictures{h.folder, nullptr};
            std::vector<std::string> seen;
            const int checked = doc.CheckCameraLayoutScript(&script, &seen, &pictures);
            if (checked != 0 && checked != 1 && checked != 3)
                std::abort();
            const int built = doc.BuildFromCameraLayoutScript(&script, &pictures);
            if (built != 0 && built != 1 && built != 3)
                std::abort();
        }
    }
    {
        CZAVScript script;
        if (script.Read(zvd)) {
            CZAVEditorDoc doc(h.host, h.services, h.ui, h.kinds);
            doc.BuildFromZvdScript(script);
        }
    }
    return 0;
}
