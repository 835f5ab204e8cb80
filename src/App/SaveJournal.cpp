#include "App/SaveJournal.h"

#include "App/SaveFileSystem.h"
#include "Core/Files.h"
#include "Core/Path.h"
#include "Platform/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kHeader = "ZAV save journal 1";
constexpr std::string_view kEnd = "end";
constexpr std::string_view kSwap = "swap\t";
constexpr std::string_view kLeftover = "leftover\t";
constexpr std::size_t kMostJournalBytes = 1 << 20;
// The atomic writer's temporary: "." NAME "." sixteen hex digits "~".
constexpr std::size_t kTemporaryTail = 18;

std::string Escape(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> Unescape(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        if (text[i] == '\\')
            out += '\\';
        else if (text[i] == 'n')
            out += '\n';
        else if (text[i] == 't')
            out += '\t';
        else
            return std::nullopt;
    }
    return out;
}

std::optional<std::vector<std::string>> SplitFields(std::string_view line)
{
    std::vector<std::string> fields;
    for (;;) {
        const std::size_t tab = line.find('\t');
        auto field = Unescape(line.substr(0, tab));
        if (!field)
            return std::nullopt;
        fields.push_back(std::move(*field));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

bool IsUniqueTail(std::string_view text)
{
    return text.size() == 6 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

// ".TARGET" KIND six characters, then what `rest` allows.
bool HasOwnedShape(std::string_view name, std::string_view target, std::string_view kind, bool extension)
{
    const std::size_t head = 1 + target.size() + kind.size();
    if (target.empty() || name.size() < head + 6 || name[0] != '.' ||
        name.substr(1, target.size()) != target || name.substr(1 + target.size(), kind.size()) != kind ||
        !IsUniqueTail(name.substr(head, 6)))
        return false;
    const std::string_view rest = name.substr(head + 6);
    if (rest.empty())
        return true;
    return extension && rest.size() > 1 && rest[0] == '.' &&
           std::all_of(rest.begin() + 1, rest.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

bool IsStagingName(std::string_view name, std::string_view target)
{
    return HasOwnedShape(name, target, ".save-", true);
}

bool IsAsideName(std::string_view name, std::string_view target)
{
    return HasOwnedShape(name, target, ".old-", false);
}

// The name the atomic writer was writing when its temporary is `name`.
std::optional<std::string_view> TemporaryOf(std::string_view name)
{
    if (name.size() <= 1 + kTemporaryTail || name[0] != '.' || name.back() != '~' ||
        name[name.size() - kTemporaryTail] != '.')
        return std::nullopt;
    const std::string_view digits = name.substr(name.size() - kTemporaryTail + 1, 16);
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c) != 0; }))
        return std::nullopt;
    return name.substr(1, name.size() - 1 - kTemporaryTail);
}

// Absolute, without ".." parts (a journal names nothing else), in its
// normal form, so that a doubled or trailing slash still compares equal.
std::optional<std::string> PlainAbsolute(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return std::nullopt;
    const std::filesystem::path given(path);
    for (const auto& part : given)
        if (part == "..")
            return std::nullopt;
    std::string normal = given.lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    if (normal == "/")
        return std::nullopt;
    return normal;
}

// The targets by folder: the names a save may replace there.
using TargetNames = std::map<std::string, std::set<std::string>>;

TargetNames NamesByFolder(const std::vector<std::string>& targets)
{
    TargetNames names;
    for (const std::string& target : targets) {
        for (const std::string& path : {target, FollowSymbolicLinks(target)}) {
            if (const auto plain = PlainAbsolute(path))
                names[GetFolderFromPath(*plain)].insert(GetFileNameFromPath(*plain, true));
        }
    }
    return names;
}

bool IsOwnedIn(const TargetNames& names, const std::string& folder, std::string_view name, bool aside)
{
    const auto it = names.find(folder);
    if (it == names.end())
        return false;
    return std::any_of(it->second.begin(), it->second.end(), [&](const std::string& target) {
        return IsStagingName(name, target) || (aside && IsAsideName(name, target));
    });
}

bool IsTarget(const TargetNames& names, const std::string& path)
{
    const auto it = names.find(GetFolderFromPath(path));
    return it != names.end() && it->second.count(GetFileNameFromPath(path, true)) != 0;
}

// Every path of the journal is one a save of these targets makes.
bool MatchesTargets(const SaveJournal& journal, const TargetNames& names)
{
    for (const SaveSwapEntry& swap : journal.swaps) {
        const auto target = PlainAbsolute(swap.target);
        const auto staged = PlainAbsolute(swap.staged);
        if (!target || !staged || !IsTarget(names, *target))
            return false;
        const std::string folder = GetFolderFromPath(*target);
        const std::string prefix = folder == "/" ? folder : folder + "/";
        if (staged->compare(0, prefix.size(), prefix) != 0)
            return false;
        const std::string inside = staged->substr(prefix.size());
        if (!IsOwnedIn(names, folder, inside.substr(0, inside.find('/')), false))
            return false;
        if (swap.aside.empty())
            continue;
        const auto aside = PlainAbsolute(swap.aside);
        const std::string name = GetFileNameFromPath(*target, true);
        if (!aside || GetFileNameFromPath(*aside, true) != name)
            return false;
        const std::string asideFolder = GetFolderFromPath(*aside);
        if (GetFolderFromPath(asideFolder) != folder ||
            !IsAsideName(GetFileNameFromPath(asideFolder, true), name))
            return false;
    }
    return std::all_of(journal.leftovers.begin(), journal.leftovers.end(), [&](const std::string& path) {
        const auto plain = PlainAbsolute(path);
        return plain && IsOwnedIn(names, GetFolderFromPath(*plain), GetFileNameFromPath(*plain, true), true);
    });
}

enum class EntryState { Pending, Moved, Lost, Mismatch };

// What the disk shows of one entry. Staged entries are complete before the
// journal is written, so one still there is a move not yet made.
EntryState StateOf(const SaveSwapEntry& swap)
{
    const bool staged = PathExists(swap.staged);
    const bool target = PathExists(swap.target);
    const bool aside = !swap.aside.empty() && PathExists(swap.aside);
    if (staged) {
        if (target)
            return !swap.aside.empty() && !aside ? EntryState::Pending : EntryState::Mismatch;
        return aside || swap.aside.empty() ? EntryState::Pending : EntryState::Mismatch;
    }
    // A target with its staged entry gone is the new one: the set-aside
    // copies may already be cleared away once everything was in place.
    return target ? EntryState::Moved : EntryState::Lost;
}

// Whether the previous entry can still be put back.
bool PreviousKept(const SaveSwapEntry& swap, EntryState state)
{
    if (state == EntryState::Mismatch)
        return false;
    return state == EntryState::Pending || swap.aside.empty() || PathExists(swap.aside);
}

bool OwnedByUser(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && st.st_uid == ::geteuid();
}

bool RemoveEntry(ISaveFileSystem& files, const std::string& path)
{
    if (!PathExists(path))
        return true;
    return IsDirectory(path) && !IsSymbolicLink(path) ? files.DeleteTree(path) : files.RemoveFile(path);
}

bool SyncFolders(ISaveFileSystem& files, const SaveJournal& journal)
{
    std::set<std::string> folders;
    for (const SaveSwapEntry& swap : journal.swaps) {
        folders.insert(GetFolderFromPath(swap.target));
        if (!swap.aside.empty())
            folders.insert(GetFolderFromPath(swap.aside));
    }
    bool synced = true;
    for (const std::string& folder : folders)
        if (IsDirectory(folder))
            synced = files.SyncFolder(folder) && synced;
    return synced;
}

void Report(const std::string& journalPath, const char* what)
{
    std::fprintf(stderr, "save journal %s: %s\n", journalPath.c_str(), what);
}

std::optional<std::string> ReadJournalText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    text.resize(kMostJournalBytes + 1);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad() || static_cast<std::size_t>(in.gcount()) > kMostJournalBytes)
        return std::nullopt;
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

void RemoveLeftovers(ISaveFileSystem& files, const TargetNames& names)
{
    for (const auto& [folder, targets] : names) {
        const auto entries = ListFolder(folder);
        if (!entries)
            continue;
        for (const FolderEntry& entry : *entries) {
            const bool owned = std::any_of(targets.begin(), targets.end(), [&](const std::string& target) {
                return IsSaveLeftoverName(entry.name, target);
            });
            const std::string path = CombinePath(folder, entry.name);
            // Another user's save in a shared folder is not this program's to clear.
            if (owned && OwnedByUser(path))
                RemoveEntry(files, path);
        }
    }
}

} // namespace

std::string SaveJournalPath(const std::string& savedPath)
{
    std::string name = ".";
    name += GetFileNameFromPath(savedPath, true);
    name += ".journal";
    return CombinePath(GetFolderFromPath(savedPath), name);
}

std::string FormatSaveJournal(const SaveJournal& journal)
{
    std::string text(kHeader);
    text += '\n';
    for (const SaveSwapEntry& swap : journal.swaps)
        text.append(kSwap)
            .append(Escape(swap.staged))
            .append("\t")
            .append(Escape(swap.target))
            .append("\t")
            .append(Escape(swap.aside))
            .append("\n");
    for (const std::string& leftover : journal.leftovers)
        text.append(kLeftover).append(Escape(leftover)).append("\n");
    text.append(kEnd).append("\n");
    return text;
}

std::optional<SaveJournal> ParseSaveJournal(std::string_view text)
{
    SaveJournal journal;
    bool header = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end + 1);
        if (!header) {
            if (line != kHeader)
                return std::nullopt;
            header = true;
        } else if (line == kEnd) {
            return text.empty() ? std::optional<SaveJournal>(std::move(journal)) : std::nullopt;
        } else if (line.substr(0, kSwap.size()) == kSwap) {
            const auto fields = SplitFields(line.substr(kSwap.size()));
            if (!fields || fields->size() != 3)
                return std::nullopt;
            journal.swaps.push_back(SaveSwapEntry{(*fields)[0], (*fields)[1], (*fields)[2]});
        } else if (line.substr(0, kLeftover.size()) == kLeftover) {
            auto path = Unescape(line.substr(kLeftover.size()));
            if (!path)
                return std::nullopt;
            journal.leftovers.push_back(std::move(*path));
        } else {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool IsSaveLeftoverName(std::string_view name, std::string_view target)
{
    if (IsStagingName(name, target) || IsAsideName(name, target))
        return true;
    const auto written = TemporaryOf(name);
    if (!written)
        return false;
    std::string journal = ".";
    journal += target;
    journal += ".journal";
    return IsStagingName(*written, target) || *written == journal;
}

bool MoveIntoPlace(ISaveFileSystem& files, const SaveJournal& journal)
{
    for (const SaveSwapEntry& swap : journal.swaps) {
        const EntryState state = StateOf(swap);
        if (state == EntryState::Moved)
            continue;
        if (state != EntryState::Pending)
            return false;
        // The previous entry waits in its set-aside folder, made before the
        // journal was written.
        if (PathExists(swap.target) && !files.Rename(swap.target, swap.aside))
            return false;
        if (!files.Rename(swap.staged, swap.target))
            return false;
    }
    return SyncFolders(files, journal);
}

bool PutBack(ISaveFileSystem& files, const SaveJournal& journal)
{
    bool back = true;
    for (auto it = journal.swaps.rbegin(); it != journal.swaps.rend(); ++it) {
        const SaveSwapEntry& swap = *it;
        const EntryState state = StateOf(swap);
        if (!PreviousKept(swap, state)) {
            back = false;
            continue;
        }
        if (state == EntryState::Moved) {
            // The new entry goes back under its staged name to be cleared
            // with the staging, or away when its staging folder is gone.
            const bool moved = IsDirectory(GetFolderFromPath(swap.staged))
                                   ? files.Rename(swap.target, swap.staged)
                                   : RemoveEntry(files, swap.target);
            if (!moved) {
                back = false;
                continue;
            }
        }
        if (!swap.aside.empty() && !PathExists(swap.target))
            back = files.Rename(swap.aside, swap.target) && back;
    }
    return SyncFolders(files, journal) && back;
}

bool ClearSwap(ISaveFileSystem& files, const SaveJournal& journal, const std::string& journalPath)
{
    bool cleared = true;
    for (const SaveSwapEntry& swap : journal.swaps)
        if (!swap.aside.empty())
            cleared = RemoveEntry(files, GetFolderFromPath(swap.aside)) && cleared;
    for (const std::string& leftover : journal.leftovers)
        cleared = RemoveEntry(files, leftover) && cleared;
    if (!cleared)
        return false;
    if (journalPath.empty() || !PathExists(journalPath))
        return true;
    // The removals are durable before the record that named them goes.
    SyncFolders(files, journal);
    if (!files.RemoveFile(journalPath))
        return false;
    files.SyncFolder(GetFolderFromPath(journalPath));
    return true;
}

SaveRecovery FinishInterruptedSave(ISaveFileSystem& files, const std::string& savedPath,
                                   const std::vector<std::string>& targets)
{
    const TargetNames names = NamesByFolder(targets);
    const std::string journalPath = SaveJournalPath(savedPath);
    SaveRecovery outcome = SaveRecovery::Nothing;
    if (PathExists(journalPath)) {
        // Another user's save in a shared folder is theirs to finish.
        if (!OwnedByUser(journalPath)) {
            Report(journalPath, "ignored: written by another user");
            return SaveRecovery::Ignored;
        }
        const auto text = ReadJournalText(journalPath);
        const auto journal = text ? ParseSaveJournal(*text) : std::nullopt;
        if (!journal || !MatchesTargets(*journal, names)) {
            Report(journalPath, "ignored: not a record of a save of this layout");
            return SaveRecovery::Ignored;
        }
        std::vector<EntryState> states;
        for (const SaveSwapEntry& swap : journal->swaps)
            states.push_back(StateOf(swap));
        const bool complete = std::all_of(states.begin(), states.end(), [](EntryState s) {
            return s == EntryState::Pending || s == EntryState::Moved;
        });
        bool kept = true;
        for (std::size_t i = 0; i < states.size(); ++i)
            kept = kept && PreviousKept(journal->swaps[i], states[i]);
        if (complete) {
            outcome = MoveIntoPlace(files, *journal) && ClearSwap(files, *journal, journalPath)
                          ? SaveRecovery::RolledForward
                          : SaveRecovery::Unfinished;
        } else if (kept) {
            outcome = PutBack(files, *journal) && ClearSwap(files, *journal, journalPath)
                          ? SaveRecovery::RolledBack
                          : SaveRecovery::Unfinished;
        } else {
            Report(journalPath, "ignored: neither the new save nor the previous one is whole on disk");
            return SaveRecovery::Ignored;
        }
        if (outcome == SaveRecovery::Unfinished) {
            Report(journalPath, "a step of finishing the interrupted save failed; kept for the next time");
            return outcome;
        }
    }
    RemoveLeftovers(files, names);
    return outcome;
}
