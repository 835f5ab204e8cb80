#include "App/support/FileKindsFakes.h"

#include "Layout/BackgroundImageFrameItem.h"
#include "Layout/LineItem.h"
#include "Layout/MacroStringItem.h"
#include "Layout/StringItem.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

FailingFileWrites::FailingFileWrites(Step step, int failAt)
    : m_step(step), m_failAt(failAt), m_previous(SetFileWriteCallsForThread(this))
{
}

FailingFileWrites::~FailingFileWrites()
{
    SetFileWriteCallsForThread(m_previous);
}

bool FailingFileWrites::Fails(Step step)
{
    if (step != m_step || ++m_calls != m_failAt)
        return false;
    m_failed = true;
    errno = ENOSPC;
    return true;
}

int FailingFileWrites::Open(const char* path, int flags, mode_t mode)
{
    return Fails(OpenStep) ? -1 : ::open(path, flags, mode);
}

ssize_t FailingFileWrites::Write(int fd, const void* buffer, std::size_t count)
{
    return Fails(WriteStep) ? -1 : ::write(fd, buffer, count);
}

int FailingFileWrites::Sync(int fd)
{
    return Fails(SyncStep) ? -1 : ::fsync(fd);
}

int FailingFileWrites::Rename(const char* from, const char* to)
{
    return Fails(RenameStep) ? -1 : std::rename(from, to);
}

bool FailingSaveFileSystem::Fails(Step step, const std::string& what)
{
    if (m_stopAfter >= 0 && static_cast<int>(m_log.size()) >= m_stopAfter) {
        if (m_stopped)
            return true;
        m_stopped = true;
        throw SimulatedCrash{};
    }
    m_log.push_back(what);
    if (step != m_step || ++m_calls != m_failAt)
        return false;
    m_failed = true;
    return true;
}

void FailingSaveFileSystem::FailAt(Step step, int n)
{
    m_step = step;
    m_failAt = n;
    m_calls = 0;
    m_failed = false;
}

void FailingSaveFileSystem::StopAfter(int steps)
{
    m_stopAfter = steps;
    m_stopped = false;
    m_log.clear();
}

bool FailingSaveFileSystem::MakeUniqueFolder(const std::string& prefix, std::string& made)
{
    return !Fails(MakeFolderStep, "make " + prefix) && SystemSaveFileSystem().MakeUniqueFolder(prefix, made);
}

bool FailingSaveFileSystem::SyncTree(const std::string& path)
{
    return !Fails(SyncStep, "sync-tree " + path) && SystemSaveFileSystem().SyncTree(path);
}

bool FailingSaveFileSystem::WriteDurably(const std::string& path, std::string_view bytes)
{
    return !Fails(JournalStep, "journal " + path) && SystemSaveFileSystem().WriteDurably(path, bytes);
}

bool FailingSaveFileSystem::Rename(const std::string& from, const std::string& to)
{
    return !Fails(RenameStep, "rename " + from + " " + to) && SystemSaveFileSystem().Rename(from, to);
}

bool FailingSaveFileSystem::SyncFolder(const std::string& folder)
{
    return !Fails(SyncStep, "sync " + folder) && SystemSaveFileSystem().SyncFolder(folder);
}

bool FailingSaveFileSystem::DeleteTree(const std::string& folder)
{
    return !Fails(DeleteStep, "delete " + folder) && SystemSaveFileSystem().DeleteTree(folder);
}

bool FailingSaveFileSystem::RemoveFile(const std::string& path)
{
    return !Fails(RemoveFileStep, "remove " + path) && SystemSaveFileSystem().RemoveFile(path);
}

namespace {

class RecordingKit : public IPackageKit
{
public:
    explicit RecordingKit(KitCalls& calls) : m_calls(calls), m_real(MakeFramePackageKit()) {}

    int Package(const std::vector<std::string>& layouts, const std::string& package) override
    {
        if (const auto code = Call("Package"))
            return *code;
        return m_calls.packageWritesNothing ? 0 : m_real->Package(layouts, package);
    }
    int PackageDSC(const std::string& index, const std::string& package) override
    {
        if (const auto code = Call("PackageDSC"))
            return *code;
        return m_real->PackageDSC(index, package);
    }
    int Open(const std::string& package) override
    {
        if (const auto code = Call("Open"))
            return *code;
        return m_real->Open(package);
    }
    int GetClassification(std::int8_t& classification) override
    {
        if (const auto code = Call("GetClassification"))
            return *code;
        const int result = m_real->GetClassification(classification);
        if (result == 0 && m_calls.classification)
            classification = *m_calls.classification;
        return result;
    }
    int GetLayoutFileName(int layout, std::string& name) override
    {
        if (const auto code = Call("GetLayoutFileName"))
            return *code;
        const int result = m_real->GetLayoutFileName(layout, name);
        if (result == 0 && m_calls.layoutName)
            name = *m_calls.layoutName;
        return result;
    }
    int GetIndexFileName(std::string& name) override
    {
        if (const auto code = Call("GetIndexFileName"))
            return *code;
        return m_real->GetIndexFileName(name);
    }
    int Unpackage(const std::string& package, const std::string& folder, int& warning) override
    {
        if (const auto code = Call("Unpackage"))
            return *code;
        return m_real->Unpackage(package, folder, warning);
    }

private:
    std::optional<int> Call(const std::string& name)
    {
        m_calls.calls.push_back(name);
        const auto it = m_calls.fail.find(name);
        if (it == m_calls.fail.end())
            return std::nullopt;
        return it->second;
    }

    KitCalls& m_calls;
    std::unique_ptr<IPackageKit> m_real;
};

template <class T> T* Put(CLayoutManager& layout, std::unique_ptr<T> item, RECT rect, bool visible = true)
{
    T* raw = item.get();
    item->SetRect(rect);
    item->SetVisible(visible);
    EXPECT_TRUE(layout.AddItem(layout.GetItemCount(-1, -1, nullptr), std::move(item)));
    return raw;
}

} // namespace

PackageKitFactory KitCalls::Factory()
{
    return [this]() -> std::unique_ptr<IPackageKit> { return std::make_unique<RecordingKit>(*this); };
}

RealKindsFixture::RealKindsFixture() : kinds(kit.Factory(), files)
{
    document = std::make_unique<CZAVEditorDoc>(base.host, base.services, base.ui, kinds);
}

RealKindsFixture::~RealKindsFixture()
{
    document.reset();
}

void RealKindsFixture::SetEditableFrameType(int type)
{
    InstallSettings install = ReadInstallSettings(base.host.localizeIniPath);
    install.editableFrameType = type;
    base.host.settings.SetInstallSettings(install);
}

std::string RealKindsFixture::Picture(const std::string& name, const char* format, unsigned rgb) const
{
    QImage image(400, 300, QImage::Format_RGB888);
    image.fill(QColor::fromRgb(rgb));
    const std::string path = Work() + "/" + name;
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return path;
}

void RealKindsFixture::MakePhotoPage(bool withBackground)
{
    CLayoutManager& layout = Layout();
    auto frame = std::make_unique<CInsertImageFrameItem>();
    CInsertImageFrameItem* owner = frame.get();
    auto macro = std::make_unique<CMacroStringItem>();
    macro->SetOwnerFrame(owner);
    macro->SetMacroKind(CMacroStringItem::KindFileName);
    owner->SetLinkedText3(macro.get());
    owner->ApplyInfoFontKey("Gothic");
    owner->SetInfoFontSize(1);
    auto text = std::make_unique<CStringItem>();
    text->SetText("Hello");
    LOGFONT font;
    font.lfHeight = -24;
    font.lfWeight = 700;
    font.lfFaceName = "Body";
    text->SetLogFont(&font);
    text->SetTextColor(RGB(200, 10, 10));
    Put(layout, std::move(text), RECT{100, 500, 400, 560});
    auto line = std::make_unique<CLineItem>();
    line->SetWidth(3);
    line->SetColor(RGB(1, 2, 3));
    Put(layout, std::move(line), RECT{50, 600, 450, 600});
    auto hidden = std::make_unique<CLineItem>();
    hidden->SetWidth(2);
    Put(layout, std::move(hidden), RECT{60, 100, 60, 300}, false);
    Put(layout, std::move(macro), RECT{100, 420, 300, 450});
    owner->SetFrameNumber(1);
    EXPECT_EQ(owner->LoadImage(Picture("photo.jpg", "JPG")), 0);
    Put(layout, std::move(frame), RECT{100, 100, 400, 400});
    if (!withBackground)
        return;
    auto back = std::make_unique<CBackgroundImageFrameItem>();
    EXPECT_EQ(back->LoadImage(Picture("back.bmp", "BMP", 0x2040ff)), 0);
    Put(layout, std::move(back), RECT{10, 10, 500, 700});
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> ReadTree(const std::string& folder)
{
    std::map<std::string, std::string> tree;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = fs::relative(entry.path(), folder).string();
        tree[relative] =
            entry.is_directory() ? std::string("<folder>") : ReadFileBytes(entry.path().string());
    }
    return tree;
}

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
