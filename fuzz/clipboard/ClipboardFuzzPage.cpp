#include "ClipboardFuzzPage.h"

#include "Core/TempFolders.h"
#include "Layout/LineItem.h"
#include "Layout/StringItem.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

void PutLE(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

// The smallest 24-bit picture a frame takes, which both the frames' reader and the block's reader take.
void WritePicture(const char* path)
{
    constexpr int kWidth = 160, kHeight = 160, kRow = kWidth * 3;
    std::string bmp = "BM";
    PutLE(bmp, 54 + kRow * kHeight, 4);
    PutLE(bmp, 0, 4);
    PutLE(bmp, 54, 4);
    PutLE(bmp, 40, 4);
    PutLE(bmp, kWidth, 4);
    PutLE(bmp, kHeight, 4);
    PutLE(bmp, 1, 2);
    PutLE(bmp, 24, 2);
    for (int i = 0; i < 6; ++i)
        PutLE(bmp, 0, 4);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            PutLE(bmp, x < kWidth / 2 ? 0x0000FF : 0xFF8000 + y, 3);
    std::ofstream out(path, std::ios::binary);
    out << bmp;
    if (!out)
        std::abort();
}

} // namespace

ClipboardFuzzFolder::ClipboardFuzzFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zav-fuzz-clipboard-XXXXXX";
    if (!mkdtemp(pattern.data()))
        std::abort();
    m_path = pattern;
    // The editor's temporary folders follow TMPDIR; keep them in here.
    setenv("TMPDIR", m_path.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    WritePicture((m_path + "/" + kFuzzPicture).c_str());
}

ClipboardFuzzFolder::~ClipboardFuzzFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

InFuzzFolder::InFuzzFolder(const ClipboardFuzzFolder& folder)
    : m_previous(::open(".", O_RDONLY | O_DIRECTORY))
{
    if (m_previous < 0 || ::chdir(folder.Path().c_str()) != 0)
        std::abort();
}

InFuzzFolder::~InFuzzFolder()
{
    if (::fchdir(m_previous) != 0)
        std::abort();
    ::close(m_previous);
}

void ClipboardFuzzFolder::ClearTemporaryFiles() const
{
    const std::string temp = GetTempFolder();
    std::error_code ignored;
    if (!temp.empty())
        for (const auto& entry : std::filesystem::directory_iterator(temp, ignored))
            std::filesystem::remove_all(entry.path(), ignored);
}

void SetUpFuzzPage(CLayoutManager& manager)
{
    manager.SetNewItemName("Line%d");
    manager.SetFrameNameFormat("Frame%d");
    manager.SetPaper(3, 0, 0, 500, false);
    auto line = std::make_unique<CLineItem>();
    line->SetRect(RECT{10, 10, 100, 10});
    line->SetWidth(1);
    manager.AddItem(-1, std::move(line));
    auto text = std::make_unique<CStringItem>();
    text->SetRect(RECT{20, 20, 80, 40});
    text->SetLabel("A");
    manager.AddItem(-1, std::move(text));
}
