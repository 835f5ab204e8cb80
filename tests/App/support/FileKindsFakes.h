// A document over the real readers and writers by kind, with the seams a
// test uses to make one step of a save or an open fail: the atomic file
// writer's system calls, the savers' folder steps and each call of the
// frame-file kit.
#pragma once

#include "App/DocumentFileKinds.h"
#include "App/FontCatalogue.h"
#include "App/PackageKit.h"
#include "App/SaveFileSystem.h"
#include "App/support/BuildFakes.h"
#include "App/support/DocumentFakes.h"
#include "Platform/AtomicFileWriter.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Fails the n-th call (counting from 1) of one of the atomic writer's steps on
// this thread while it lives; 0 fails nothing.
class FailingFileWrites : public IFileWriteCalls
{
public:
    enum Step { OpenStep, WriteStep, SyncStep, RenameStep };
    FailingFileWrites(Step step, int failAt);
    ~FailingFileWrites() override;
    int Open(const char* path, int flags, mode_t mode) override;
    ssize_t Write(int fd, const void* buffer, std::size_t count) override;
    int Sync(int fd) override;
    int Rename(const char* from, const char* to) override;
    bool Failed() const { return m_failed; }
    // The calls of the chosen step so far.
    int Calls() const { return m_calls; }

private:
    bool Fails(Step step);
    Step m_step;
    int m_failAt;
    int m_calls = 0;
    bool m_failed = false;
    IFileWriteCalls* m_previous;
};

// Thrown by the save seam where a crash stopped the save.
struct SimulatedCrash
{
};

// The system's save steps; the n-th call of the chosen one fails. Or, with
// StopAfter, every step after the n-th is refused as a crash refuses it: the
// first refused step throws SimulatedCrash and all later ones (the undo steps
// of destructors among them) do nothing.
class FailingSaveFileSystem : public ISaveFileSystem
{
public:
    enum Step { None, MakeFolderStep, RenameStep, DeleteStep, SyncStep, JournalStep, RemoveFileStep };
    bool MakeUniqueFolder(const std::string& prefix, std::string& made) override;
    bool SyncTree(const std::string& path) override;
    bool WriteDurably(const std::string& path, std::string_view bytes) override;
    bool Rename(const std::string& from, const std::string& to) override;
    bool SyncFolder(const std::string& folder) override;
    // A failing removal deletes nothing.
    bool DeleteTree(const std::string& folder) override;
    bool RemoveFile(const std::string& path) override;
    void FailAt(Step step, int n);
    bool Failed() const { return m_failed; }
    // The calls of the chosen step since FailAt.
    int Calls() const { return m_calls; }

    // Lets `steps` steps through and stops the save at the next; a negative
    // number stops nothing. Clears the step log.
    void StopAfter(int steps);
    bool Stopped() const { return m_stopped; }
    // Every step taken since StopAfter, as "kind path".
    const std::vector<std::string>& Steps() const { return m_log; }

private:
    bool Fails(Step step, const std::string& what);
    Step m_step = None;
    int m_failAt = 0;
    int m_calls = 0;
    bool m_failed = false;
    int m_stopAfter = -1;
    bool m_stopped = false;
    std::vector<std::string> m_log;
};

// The real kit, with a chosen call answering a chosen code.
class KitCalls
{
public:
    PackageKitFactory Factory();
    // "Package", "Open", "GetClassification", "GetLayoutFileName", "Unpackage", ...
    std::map<std::string, int> fail;
    // Each call made, in order.
    std::vector<std::string> calls;
    // When set, the package call writes nothing and answers 0.
    bool packageWritesNothing = false;
    // When set, GetClassification answers this value instead of the package's.
    std::optional<std::int8_t> classification;
    // When set, GetLayoutFileName answers this name.
    std::optional<std::string> layoutName;
};

// One text face, for the text items of the pages.
class BodyFontCatalogue : public IFontCatalogue
{
public:
    BodyFontCatalogue() { SetFontCatalogue(this); }
    ~BodyFontCatalogue() override { SetFontCatalogue(nullptr); }
    bool HasOutlineFamily(std::string_view face) override { return face == "Body"; }
    bool HasFamily(std::string_view face) override { return face == "Body"; }
    std::string DefaultInterfaceFace() override { return "Body"; }
    std::vector<std::string> SortedOutlineNames() override { return {"Body"}; }
};

// A document whose loads and saves are the real ones.
struct RealKindsFixture
{
    RealKindsFixture();
    ~RealKindsFixture();

    DocumentFixture base;
    RecordingView view;
    BodyFontCatalogue fonts;
    FailingSaveFileSystem files;
    KitCalls kit;
    DocumentFileKinds kinds;
    std::unique_ptr<CZAVEditorDoc> document;

    CZAVEditorDoc& Doc() { return *document; }
    // The installation's kinds of layout: 0 both, 1 camera only, 2 photo only.
    void SetEditableFrameType(int type);
    CLayoutManager& Layout() { return *document->GetLayoutManager(); }
    std::string Work() const { return base.Work(); }
    // A 400 x 300 picture of one colour under the work folder.
    std::string Picture(const std::string& name, const char* format, unsigned rgb = 0x00ff00) const;
    // A photo layout: a framed photo with its file-name text, a line, a
    // hidden line, a text and, when asked, a background picture.
    void MakePhotoPage(bool withBackground = true);
};

// Every file below the folder with its bytes, by path relative to it.
std::map<std::string, std::string> ReadTree(const std::string& folder);
// The names directly in the folder.
std::vector<std::string> NamesIn(const std::string& folder);
std::string ReadFileBytes(const std::string& path);
