#include "App/DSCUSMFile.h"

#include "App/CtfFile.h"
#include "App/ZAVEditorDoc.h"
#include "Core/ErrorCheck.h"
#include "Core/Path.h"
#include "Layout/BackgroundImageFrameItem.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The camera papers in the order their member scripts are written; the first
// is the paper a camera layout is designed on.
constexpr std::array<DSCPaperVariant, 8> kCameraVariants{{
    {17, 2},
    {17, 0},
    {18, 0},
    {18, 2},
    {16, 0},
    {16, 2},
    {0, 0},
    {0, 2},
}};
// The written order is the sets' own; the papers are the camera papers.
static_assert(std::is_permutation(kCameraVariants.begin(), kCameraVariants.end(),
                                  kCameraPaperVariants.begin()));
static_assert(kCameraVariants[0] == kCameraPaperVariants[0]);

} // namespace

std::string CDSCUSMFile::DocumentTexts::GetTitle() const
{
    return document ? document->GetTitle() : std::string();
}

std::string CDSCUSMFile::DocumentTexts::GetComment() const
{
    return document ? document->GetComment() : std::string();
}

CDSCUSMFile::CDSCUSMFile() = default;

CDSCUSMFile::~CDSCUSMFile() = default;

int CDSCUSMFile::Init(CZAVEditorDoc* document, const std::string& sourceScriptPath,
                      const std::string& destinationPath)
{
    m_editorDocument = document;
    m_texts.document = document;
    const int result = CUSMFile::Init(&m_texts, sourceScriptPath, destinationPath);
    if (result != 1)
        return result;
    AddPaperVariants();
    m_renderFlag = 0;
    m_textImagePath.clear();
    if (document && HasCameraDrawnContent(*document->GetLayoutManager()))
        m_renderFlag = 1;
    if (m_renderFlag == 1)
        return MakeEffFileName(m_textImagePath);
    return 1;
}

int CDSCUSMFile::TakeTitleAndComment()
{
    const int result = CUSMFile::TakeTitleAndComment();
    if (result != 1)
        return result;
    m_header.classification = 0.01;
    std::string folder;
    std::string name;
    if (!GetMemberFolder(folder) || !MakeCtfFileName(name))
        return 0;
    m_header.cameraThumbnail = CombinePath(folder, name);
    return 1;
}

int CDSCUSMFile::MakeIndexFileName(const std::string& destinationPath)
{
    const int result = BuildIndexPath(destinationPath, "_0");
    if (result != 1)
        return result;
    std::string temp;
    if (GetTempFolder(temp) != 1)
        return 0;
    m_tempIndexPath = CombinePath(GetFolderFromPath(temp), GetFileNameFromPath(GetIndexPath(), true));
    return 1;
}

int CDSCUSMFile::FitObjects(const DSCPaperVariant& pair, std::span<UDLDrawRecord> records,
                            std::int32_t& rollLength)
{
    if (!m_editorDocument)
        return 0;
    RecordSize frame;
    RecordSize picture;
    GetBackgroundFrameSizes(frame, picture);
    return FitObjectsToPaper(pair, records, frame, picture, rollLength,
                             m_editorDocument->GetLayoutManager()->GetPaperSizeIndex());
}

int CDSCUSMFile::AddPaperVariants()
{
    for (const DSCPaperVariant& pair : kCameraVariants)
        AddPaperPair(pair);
    return 1;
}

int CDSCUSMFile::AddPaperPair(const DSCPaperVariant& pair)
{
    AddVariant(pair);
    return 1;
}

int CDSCUSMFile::MakeEffFileName(std::string& path)
{
    std::string temp;
    if (GetTempFolder(temp) != 1)
        return 0;
    path = CombinePath(temp, GetSetPrefix() + ".eff");
    return 1;
}

int CDSCUSMFile::MakeCtfFileName(std::string& name) const
{
    if (GetIndexPath().empty())
        return 0;
    name = GetFileNameFromPath(GetIndexPath(), false) + "." + "ctf";
    return 1;
}

int CDSCUSMFile::GetBackgroundFrameSizes(RecordSize& frameSize, RecordSize& pictureSize) const
{
    frameSize = RecordSize{};
    pictureSize = RecordSize{};
    if (!m_editorDocument)
        return 1;
    for (const auto& item : m_editorDocument->GetLayoutManager()->GetItems()) {
        const auto* background = dynamic_cast<const CBackgroundImageFrameItem*>(item.get());
        if (!background)
            continue;
        RECT rect{};
        background->GetRect(&rect, false);
        frameSize = RecordSize{rect.right - rect.left, rect.bottom - rect.top};
        const SIZE picture = background->GetPictureSize();
        pictureSize = RecordSize{picture.cx, picture.cy};
        const int rotation = background->GetImageRotation();
        if (rotation == 1 || rotation == 3)
            std::swap(pictureSize.width, pictureSize.height);
        break;
    }
    return 1;
}

std::string CDSCUSMFile::GetSetPrefix() const
{
    return FirstSixOf(GetFileNameFromPath(GetIndexPath(), false));
}

std::string CameraSetIndexPath(const std::string& destinationPath)
{
    CDSCUSMFile set;
    if (set.Init(static_cast<CZAVEditorDoc*>(nullptr), std::string(), destinationPath) != 1)
        return {};
    return set.GetIndexPath();
}

std::vector<std::string> CameraSetScriptPaths(const std::string& indexPath)
{
    CDSCUSMFile set;
    std::vector<std::string> names;
    if (set.Init(static_cast<CZAVEditorDoc*>(nullptr), std::string(), indexPath) != 1 ||
        set.MakeUsdFileName(names) != 1)
        return {};
    const std::string folder = GetFolderFromPath(indexPath);
    for (std::string& name : names)
        name = folder.empty() ? name : CombinePath(folder, name);
    return names;
}
