#include "FrameKit/compare/ReadersAgree.h"

#include "Platform/ShiftJis.h"

#include "Core/Path.h"
#include "FrameKit/PackageErrorCode.h"
#include "FrameKit/PackageZAV.h"
#include "FrameKit/Parser.h"
#include "FrameKit/PathResolve.h"
#include "FrameKit/SDK.h"
#include "FrameKit/USMParser.h"
#include "Script/HeaderSection.h"
#include "Script/ScriptPath.h"
#include "Script/UDLScript.h"
#include "Script/USMFile.h"
#include "Script/ZAVScript.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Differences
{
public:
    explicit Differences(std::string file) : m_file(std::move(file)) {}

    template <typename A, typename B> void Same(const std::string& what, const A& editor, const B& kit)
    {
        if (!(editor == kit)) {
            std::ostringstream line;
            line << m_file << ": " << what << ": editor " << editor << ", kit " << kit;
            m_lines.push_back(line.str());
        }
    }
    void Note(const std::string& text) { m_lines.push_back(m_file + ": " + text); }
    void Take(const Differences& other)
    {
        m_lines.insert(m_lines.end(), other.m_lines.begin(), other.m_lines.end());
    }
    bool Empty() const { return m_lines.empty(); }
    std::string Text() const
    {
        std::string text;
        for (const std::string& line : m_lines)
            text += line + "\n";
        return text;
    }

private:
    std::string m_file;
    std::vector<std::string> m_lines;
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Extension(const std::string& path)
{
    return Lower(fs::path(path).extension().string());
}

// The kit keeps its files' texts in Shift-JIS; the editor in UTF-8.
std::string Utf8(const std::string& sjis)
{
    return ShiftJisToUtf8(sjis).value_or("<not CP932>");
}

std::string Sjis(const std::string& utf8)
{
    return Utf8ToShiftJis(utf8).value_or(std::string());
}

// The file a reference names by the kit's own rule; empty when it cannot say.
std::string KitResolved(const std::string& utf8Reference, const std::string& folder)
{
    char out[kZavPathSize] = {};
    const std::string reference = Sjis(utf8Reference);
    if (reference.empty() || ResolveRelativePath(reference.c_str(), folder.c_str(), out) != ZAV_OK)
        return {};
    return out;
}

// The editor resolves only the references it writes (dot-relative or
// absolute); with any other its answer is the text as stored.
bool EditorResolves(const std::string& reference)
{
    return !reference.empty() && (reference[0] == '.' || reference[0] == '/');
}

std::vector<std::int32_t> Margins(std::int32_t mode)
{
    std::vector<std::int32_t> values;
    const auto text = MarginText(mode);
    if (!text)
        return values;
    std::stringstream in{std::string(*text)};
    std::string part;
    while (std::getline(in, part, ','))
        values.push_back(std::stoi(part));
    return values;
}

std::string Str(const char* text)
{
    return text;
}

void CompareHeader(Differences& d, const UDLHeaderInfo& e, const LayoutHeaderRecord& k, bool camera)
{
    d.Same("revision", static_cast<int>(e.revision * 100 + 0.5),
           int{k.revisionMajor} * 100 + int{k.revisionMinor});
    d.Same("author", e.author, Utf8(k.author));
    d.Same("title", e.title, Utf8(k.title));
    d.Same("comment", e.comment, Utf8(k.comment));
    d.Same("direction", e.direction, int{k.direction});
    if (camera)
        return;
    d.Same("copyright", e.copyright, Utf8(k.copyright));
    d.Same("copy flag", e.copyFlag, int{k.copyFlag});
    d.Same("change flag", e.changeFlag, int{k.changeFlag});
    d.Same("capacity", e.capacity, k.capacity);
    d.Same("thumbnail", e.thumbnail, Str(k.thumbnailPath));
    d.Same("paper", std::string(PaperSizeText(e.paperSize).value_or("?")), Str(k.paperName));
    const std::vector<std::int32_t> margins = Margins(e.marginMode);
    d.Same("margins", margins.size(), std::size_t{4});
    for (std::size_t i = 0; i < margins.size() && i < 4; ++i)
        d.Same("margin " + std::to_string(i), margins[i], k.margins[i]);
    if (k.paperLength == 0) // roll papers alone carry a length
        d.Same("roll length", int{e.rollPaperLength}, k.rollPaperLength);
    d.Same("application", e.application, Utf8(k.application));
}

void ComparePicture(Differences& d, const std::string& at, const UDLPicturePart& e, const ZavPictureRecord& k)
{
    d.Same(at + " frame number", e.frameNumber, k.frameNumber);
    const bool open = e.bottom == -1;
    d.Same(at + " open bottom", open, k.openHeight != 0);
    // An open bottom: the kit keeps the top twice, the editor derives the height later.
    const std::int32_t bottom = open ? e.top : e.bottom;
    d.Same(at + " rectangle",
           std::to_string(e.left) + "," + std::to_string(e.top) + "," + std::to_string(e.right) + "," +
               std::to_string(bottom),
           std::to_string(k.rect.x1) + "," + std::to_string(k.rect.y1) + "," + std::to_string(k.rect.x2) +
               "," + std::to_string(k.rect.y2));
    d.Same(at + " rotation", e.rotation, int{k.codes[0]});
    d.Same(at + " placement", e.placement, int{k.codes[1]});
    d.Same(at + " image mode", e.imageMode, int{k.codes[2]});
    // The kit keeps the picture of fixed pictures only.
    d.Same(at + " picture", e.frameNumber == 0 ? e.fileName : std::string(), Str(k.filePath));
}

void CompareLine(Differences& d, const std::string& at, const UDLLinePart& e, const ZavLineRecord& k)
{
    // The kit widens a line's rectangle by its width; the editor keeps the end points.
    const bool horizontal = e.y1 == e.y2;
    const bool vertical = !horizontal && e.x1 == e.x2;
    d.Same(at + " x1", e.x1, k.rect.x1);
    d.Same(at + " y1", e.y1, k.rect.y1);
    d.Same(at + " x2", e.x2 + (vertical ? e.width - 1 : 0), k.rect.x2);
    d.Same(at + " y2", e.y2 + (horizontal ? e.width - 1 : 0), k.rect.y2);
    d.Same(at + " width", e.width, k.width);
    d.Same(at + " colour",
           std::to_string(e.red) + "," + std::to_string(e.green) + "," + std::to_string(e.blue),
           std::to_string(k.color[0]) + "," + std::to_string(k.color[1]) + "," + std::to_string(k.color[2]));
}

void CompareText(Differences& d, const std::string& at, const UDLTextPart& e, const ZavStringRecord& k,
                 const std::string& folder)
{
    d.Same(at + " frame number", e.frameNumber, k.frameNumber);
    // The kit keeps the first 64 bytes of the macro text.
    d.Same(at + " macro text", Sjis(e.macroText).substr(0, 63), std::string(k.text));
    d.Same(at + " rectangle",
           std::to_string(e.left) + "," + std::to_string(e.top) + "," + std::to_string(e.right) + "," +
               std::to_string(e.bottom),
           std::to_string(k.rect.x1) + "," + std::to_string(k.rect.y1) + "," + std::to_string(k.rect.x2) +
               "," + std::to_string(k.rect.y2));
    d.Same(at + " direction", e.direction, int{k.rotation});
    d.Same(at + " font", e.name, Utf8(k.fontName));
    d.Same(at + " flag", e.flag, k.style);
    d.Same(at + " colour",
           std::to_string(e.red) + "," + std::to_string(e.green) + "," + std::to_string(e.blue),
           std::to_string(k.color[0]) + "," + std::to_string(k.color[1]) + "," + std::to_string(k.color[2]));
    // The editor carries the text's picture name as stored; the kit resolves it.
    const std::string expected = e.frameNumber == 0 && !e.imageFileName.empty()
                                     ? ResolveStoredReference(folder, e.imageFileName)
                                     : std::string();
    d.Same(at + " picture", expected, Str(k.filePath));
}

Differences CompareLayoutScript(const std::string& path)
{
    Differences d(path);
    CUDLScript script;
    const int editor = script.Read(path);
    ZAV_SDK_PACK kit;
    const int kitResult = kit.OpenLayout(path.c_str());
    d.Same("opened (editor 1, kit 0)", editor == 1, kitResult == ZAV_OK);
    if (editor != 1 || kitResult != ZAV_OK) {
        if (editor != 1 && kitResult != ZAV_OK)
            d.Note("neither reader opens it");
        return d;
    }
    LayoutHeaderRecord header;
    if (kit.GetLayoutHeader(&header) != ZAV_OK) {
        d.Note("the kit gives no header");
        return d;
    }
    CompareHeader(d, script.GetHeaderInfo(), header, false);
    char sound[256] = {};
    kit.GetSoundName(sound);
    d.Same("sound", script.GetHeaderInfo().sound, Utf8(sound));
    const std::string folder = ScriptFolderOf(path);
    d.Same("item count", script.GetDrawRecordCount(), header.itemCount);
    for (std::int32_t i = 0; i < header.itemCount && i < script.GetDrawRecordCount(); ++i) {
        const UDLDrawRecord& e = *script.GetDrawRecord(static_cast<std::uint16_t>(i));
        ZavItemRecord k;
        const std::string at = "item " + std::to_string(i);
        if (kit.GetItem(i, &k) != ZAV_OK) {
            d.Note(at + ": the kit gives no item");
            continue;
        }
        const int kind = e.type == UDLDrawPicture ? 0 : e.type == UDLDrawLine ? 1 : 2;
        d.Same(at + " kind", kind, int{k.kind});
        if (kind != k.kind)
            continue;
        if (kind == 0)
            ComparePicture(d, at, e.picture, k.picture);
        else if (kind == 1)
            CompareLine(d, at, e.line, k.line);
        else
            CompareText(d, at, e.text, k.string, folder);
    }
    return d;
}

// The fields of a draw line's argument list as the kit's parser hands it over
// ("Name(" ... ")"): commas outside quotes separate, "%" inside quotes carries the
// next character. Quoted fields keep their quotes.
std::vector<std::string> SplitArguments(const std::string& sjisLine)
{
    std::vector<std::string> fields;
    std::string text = sjisLine;
    text.erase(0, std::min(text.find('('), text.size() - 1) + 1);
    if (!text.empty() && text.back() == ')')
        text.pop_back();
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsSjisLeadByte(c) && i + 1 < text.size()) {
            field += text.substr(i, 2);
            ++i;
            continue;
        }
        if (quoted && c == '%' && i + 1 < text.size()) {
            field += text.substr(i, 2);
            ++i;
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.push_back(field);
            field.clear();
            continue;
        }
        field += static_cast<char>(c);
    }
    fields.push_back(field);
    return fields;
}

std::string Unquoted(const std::string& field)
{
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        return field.substr(1, field.size() - 2);
    return field;
}

// What the editor's document writes escaped in a text: "%%", "%\"", "\\\\",
// "\\r", "\\n".
std::string UnescapedCharText(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c == '%' || c == '\\') && i + 1 < text.size()) {
            const char next = text[i + 1];
            if (c == '%' && (next == '%' || next == '"')) {
                out += next;
                ++i;
                continue;
            }
            if (c == '\\' && (next == '\\' || next == 'r' || next == 'n')) {
                out += next == 'r' ? '\r' : next == 'n' ? '\n' : '\\';
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b)
{
    return std::to_string(l) + "," + std::to_string(t) + "," + std::to_string(r) + "," + std::to_string(b);
}

std::string FieldRect(const std::vector<std::string>& f, std::size_t first)
{
    if (f.size() < first + 4)
        return "<missing>";
    return f[first] + "," + f[first + 1] + "," + f[first + 2] + "," + f[first + 3];
}

std::string KitValue(const ZAVParser& parser, const char* section, const char* key)
{
    char value[513] = {};
    if (!parser.GetValue(section, key, value, sizeof value, -1, true))
        return "<missing>";
    return Utf8(value);
}

void CompareDocumentRecord(Differences& d, const std::string& at, const ZAVDrawRecord& e, int kind,
                           const std::vector<std::string>& f, const std::string& folder)
{
    switch (e.type) {
    case ZAVDrawPicture: {
        d.Same(at + " kind", 1, kind);
        d.Same(at + " fields", std::size_t{14}, f.size());
        if (f.size() < 14)
            return;
        const std::string name = Utf8(Unquoted(f[0]));
        // Written by the editor, a picture is dot-relative; both rules must
        // then find the same file.
        d.Same(at + " picture", e.picture.fileName, EditorResolves(name) ? KitResolved(name, folder) : name);
        d.Same(at + " frame number", std::to_string(e.picture.frameNumber), f[1]);
        const std::string bottom = f[5] == "N" ? "-1" : f[5];
        d.Same(at + " rectangle", Rect(e.picture.left, e.picture.top, e.picture.right, e.picture.bottom),
               f[2] + "," + f[3] + "," + f[4] + "," + bottom);
        d.Same(at + " range",
               Rect(e.picture.rangeLeft, e.picture.rangeTop, e.picture.rangeRight, e.picture.rangeBottom),
               FieldRect(f, 9));
        d.Same(at + " visible", std::to_string(e.picture.visible), f[13]);
        return;
    }
    case ZAVDrawLine:
        d.Same(at + " kind", 3, kind);
        d.Same(at + " fields", std::size_t{9}, f.size());
        if (f.size() < 9)
            return;
        d.Same(at + " end points", Rect(e.line.x1, e.line.y1, e.line.x2, e.line.y2), FieldRect(f, 0));
        d.Same(at + " width", std::to_string(e.line.width), f[4]);
        d.Same(at + " visible", std::to_string(e.line.visible), f[8]);
        return;
    case ZAVDrawMacroString:
        d.Same(at + " kind", 2, kind);
        d.Same(at + " fields", std::size_t{14}, f.size());
        if (f.size() < 14)
            return;
        d.Same(at + " owner frame", std::to_string(e.macroString.ownerFrameNumber), f[1]);
        d.Same(at + " macro text", e.macroString.macroText, Utf8(Unquoted(f[2])));
        d.Same(at + " rectangle",
               Rect(e.macroString.left, e.macroString.top, e.macroString.right, e.macroString.bottom),
               FieldRect(f, 3));
        d.Same(at + " font key", e.macroString.fontKey, Utf8(Unquoted(f[8])));
        d.Same(at + " visible", std::to_string(e.macroString.visible), f[13]);
        return;
    case ZAVDrawString:
        d.Same(at + " kind", 4, kind);
        d.Same(at + " fields", std::size_t{25}, f.size());
        if (f.size() < 25)
            return;
        d.Same(at + " face", e.chars.faceName, Utf8(Unquoted(f[0])));
        d.Same(at + " text", e.chars.text, Utf8(UnescapedCharText(Unquoted(f[1]))));
        d.Same(at + " rectangle", Rect(e.chars.left, e.chars.top, e.chars.right, e.chars.bottom),
               FieldRect(f, 2));
        d.Same(at + " visible", std::to_string(e.chars.visible), f[24]);
        return;
    }
    d.Note(at + ": a record of an unknown type");
}

Differences CompareEditorDocument(const std::string& path)
{
    Differences d(path);
    CZAVScript script;
    if (script.Read(path) != 1) {
        d.Note("the editor does not read it");
        return d;
    }
    ZAVParser parser(path.c_str());
    if (parser.Parse(nullptr) != ZAV_OK) {
        d.Note("the kit's parser does not read it");
        return d;
    }
    const UDLHeaderInfo& h = script.GetHeaderInfo();
    const bool camera = script.GetDSCFlag() != 0;
    const char* texts = camera ? "DSC_ZAV_HEADER" : "HEADER";
    d.Same("title", h.title, KitValue(parser, texts, "HdTitle"));
    d.Same("comment", h.comment, KitValue(parser, texts, "HdComment"));
    d.Same("author", h.author, KitValue(parser, "HEADER", "HdAuthor"));
    int direction = -1;
    parser.GetDirection(&direction);
    d.Same("direction", h.direction, direction);
    const std::string thumbnail = KitValue(parser, "HEADER", "HdThumbnail");
    d.Same("thumbnail", h.thumbnail,
           EditorResolves(thumbnail) ? KitResolved(thumbnail, ScriptFolderOf(path)) : thumbnail);
    if (!camera) {
        d.Same("paper", std::string(PaperSizeText(h.paperSize).value_or("?")),
               KitValue(parser, "HEADER", "HdPhysicalPaperSize"));
        int m[4] = {};
        d.Same("margins read", ZAV_OK, parser.GetMargins(&m[0], &m[1], &m[2], &m[3]));
        const std::vector<std::int32_t> margins = Margins(h.marginMode);
        for (std::size_t i = 0; i < margins.size() && i < 4; ++i)
            d.Same("margin " + std::to_string(i), margins[i], m[i]);
    }
    const char* objects = camera ? "BASE_PAPER_INFO" : "PAGE";
    const std::string folder = ScriptFolderOf(path);
    int lines = 0;
    char line[1024];
    int kind = 0;
    while (parser.GetCallLine(objects, lines, line, sizeof line, &kind)) {
        const std::string at = "item " + std::to_string(lines);
        if (const ZAVDrawRecord* e = script.GetDrawRecord(static_cast<std::uint16_t>(lines)))
            CompareDocumentRecord(d, at, *e, kind, SplitArguments(line), folder);
        ++lines;
    }
    d.Same("item count", script.GetDrawRecordCount(), lines);
    return d;
}

Differences CompareSetIndex(const std::string& path)
{
    Differences d(path);
    CUSMFile index;
    if (index.ReadIndex(path) != 1) {
        d.Note("the editor does not read it");
        return d;
    }
    USMParser parser(path.c_str());
    if (parser.Parse(nullptr) != ZAV_OK) {
        d.Note("the kit's parser does not read it");
        return d;
    }
    int count = -1;
    parser.GetCount(&count);
    d.Same("member count", index.GetCount(), count);
    d.Same("title", index.GetTitle(), KitValue(parser, "HEADER", "HdTitle"));
    d.Same("comment", index.GetComment(), KitValue(parser, "HEADER", "HdComment"));
    const std::string folder = ScriptFolderOf(path);
    for (int i = 0; i < count && i < index.GetCount(); ++i) {
        char name[256] = {};
        if (parser.GetFilename(i, name) != ZAV_OK) {
            d.Note("the kit gives no member " + std::to_string(i));
            continue;
        }
        d.Same("member " + std::to_string(i), index.GetFilename(i), Utf8(name));
        const std::string member = KitResolved(Utf8(name), folder);
        d.Same("member " + std::to_string(i) + " file",
               LookUpStoredReference(folder, index.GetFilename(i)).path, member);
        if (!member.empty())
            d.Take(CompareLayoutScript(member));
    }
    return d;
}

Differences CompareFile(const std::string& path, int depth);

Differences ComparePackage(const std::string& path, int depth)
{
    Differences d(path);
    std::error_code error;
    const fs::path target = fs::temp_directory_path() / ("readers-agree-" + std::to_string(::getpid()) + "-" +
                                                         std::to_string(std::hash<std::string>{}(path)));
    fs::remove_all(target, error);
    fs::create_directories(target, error);
    PackageZAV kit;
    int warning = 0;
    const int rc = kit.Unpackage(path.c_str(), target.c_str(), &warning);
    d.Same("unpacked", ZAV_OK, rc);
    if (rc == ZAV_OK) {
        std::vector<fs::path> scripts;
        std::vector<fs::path> setFolders;
        for (auto it = fs::recursive_directory_iterator(target, error); !error && it != fs::end(it);
             it.increment(error)) {
            const std::string ext = Extension(it->path().string());
            if (ext == ".usm")
                setFolders.push_back(it->path().parent_path());
            if (ext == ".usm" || ext == ".usd")
                scripts.push_back(it->path());
        }
        bool any = false;
        for (const fs::path& script : scripts) {
            // A set's member scripts are compared through their index.
            const bool member =
                Extension(script.string()) == ".usd" &&
                std::find(setFolders.begin(), setFolders.end(), script.parent_path()) != setFolders.end();
            if (member)
                continue;
            any = true;
            d.Take(CompareFile(script.string(), depth + 1));
        }
        if (!any)
            d.Note("no layout script inside");
    }
    fs::remove_all(target, error);
    return d;
}

Differences CompareFile(const std::string& path, int depth)
{
    const std::string ext = Extension(path);
    if (ext == ".usd")
        return CompareLayoutScript(path);
    if (ext == ".zvd")
        return CompareEditorDocument(path);
    if (ext == ".usm")
        return CompareSetIndex(path);
    if (ext == ".fdp" && depth == 0)
        return ComparePackage(path, depth);
    Differences d(path);
    d.Note("not a kind both readers read");
    return d;
}

} // namespace

bool ReadersCompareKind(const std::string& path)
{
    const std::string ext = Extension(path);
    return ext == ".usd" || ext == ".zvd" || ext == ".usm" || ext == ".fdp";
}

::testing::AssertionResult ReadersAgree(const std::string& path)
{
    const Differences d = CompareFile(path, 0);
    if (d.Empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << d.Text();
}
