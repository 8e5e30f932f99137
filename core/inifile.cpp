#include "core/inifile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <sstream>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isBracketed(const std::string& s) {
    return !s.empty() && s.front() == '[' && s.back() == ']';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The length of a header line's "[name]" (raw, normalised n), or npos for a
// line that is no header: it ends at the first "]" that only blanks or a
// comment follow ("[Days] ; note", as common INI readers allow).
std::string::size_type headerLength(const std::string& raw, const std::string& n) {
    if (n.empty() || n.front() != '[')
        return std::string::npos;
    for (std::string::size_type close = raw.find(']'); close != std::string::npos;
         close = raw.find(']', close + 1)) {
        const std::string::size_type next = raw.find_first_not_of(" \t\v\f", close + 1);
        if (next == std::string::npos || raw[next] == ';' || raw[next] == '#')
            return close + 1;
    }
    return std::string::npos;
}

const std::string kByteOrderMark = "\xEF\xBB\xBF";

// Bytes that no text holds: control characters other than the blanks.
// Text in UTF-8, GBK or another 8-bit encoding has none of them; a binary
// file has them all over.
bool isControlByte(unsigned char c) {
    return (c < 0x20 && !isBlank(static_cast<char>(c))) || c == 0x7F;
}

std::string systemError(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

enum class ReadResult { Read, Missing, Unreadable, TooLarge };

// The whole file as bytes. The type is checked before the file is opened,
// and the open does not block, so a FIFO or device named like the file
// cannot hang the caller; nor is more than IniFile::kMaxFileBytes read.
ReadResult readTextFile(const std::string& path, std::string& text, std::string& error) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) {
        // Nothing there (a dangling link included): a save creates it.
        if (errno == ENOENT || errno == ENOTDIR)
            return ReadResult::Missing;
        error = systemError("cannot look at the file", errno);
        return ReadResult::Unreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return ReadResult::Unreadable;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = systemError("cannot open the file", errno);
        return ReadResult::Unreadable;
    }
    // It may have been replaced between the look and the open.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "not a regular file";
        return ReadResult::Unreadable;
    }
    const std::size_t limit = IniFile::kMaxFileBytes;
    if (static_cast<std::size_t>(st.st_size) <= limit)
        text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    // It may also grow while it is read.
    while (text.size() <= limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = systemError("cannot read the file", errno);
            ::close(fd);
            return ReadResult::Unreadable;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (text.size() > limit) {
        text.clear();
        text.shrink_to_fit();
        error = IniFile::kTooLargeError;
        return ReadResult::TooLarge;
    }
    // UTF-16 (as some editors save) and binary files are not this text;
    // read line by line they would lose the user's entries at the next save.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0) {
        error = "UTF-16 text";
        return ReadResult::Unreadable;
    }
    for (const char c : text) {
        if (isControlByte(static_cast<unsigned char>(c))) {
            error = "not text";
            return ReadResult::Unreadable;
        }
    }
    return ReadResult::Read;
}

// The file a chain of symbolic links ends at, so that a save replaces the
// target and the link stays a link. False on a loop.
bool followLinks(std::string& path, std::string& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n < 0 || n == static_cast<ssize_t>(sizeof target)) {
            error = std::strerror(n < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        const std::string next(target, static_cast<std::size_t>(n));
        const std::string::size_type slash = path.rfind('/');
        path = (next[0] == '/' || slash == std::string::npos) ? next
                                                              : path.substr(0, slash + 1) + next;
    }
    error = std::strerror(ELOOP);
    return false;
}

bool writeAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The name of a save's temporary file beside the file named base, and
// whether a name in the folder is one of them. The number never repeats in
// a process, so a name that a save has renamed away is never made again
// while a clean-up may still hold it.
std::string temporaryName(const std::string& base) {
    static std::atomic<unsigned long> next{0};
    return "." + base + "." + std::to_string(::getpid()) + "." + std::to_string(next++) + ".tmp";
}

bool isDigits(const std::string& s, std::size_t from, std::size_t to) {
    if (from >= to)
        return false;
    for (std::size_t i = from; i < to; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
    }
    return true;
}

bool isTemporaryName(const std::string& name, const std::string& base) {
    const std::string head = "." + base + ".";
    const std::string tail = ".tmp";
    if (name.size() < head.size() + tail.size() + 3 || name.compare(0, head.size(), head) != 0 ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0)
        return false;
    const std::size_t end = name.size() - tail.size();
    const std::size_t dot = name.find('.', head.size());
    return dot < end && isDigits(name, head.size(), dot) && isDigits(name, dot + 1, end);
}

void splitPath(const std::string& path, std::string& folder, std::string& base) {
    const std::string::size_type slash = path.rfind('/');
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    base = slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes the text into the file itself, for a file that a rename would not
// replace as the user expects. The new text is written over the old one
// before the file is cut to its length, so that a full disk stops the
// write beyond the old text's blocks; on any failure the old text is put
// back.
bool writeInPlace(const std::string& path, const std::string& text, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file";
        ::close(fd);
        return false;
    }
    std::string old(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t have = 0;
    while (have < old.size()) {
        const ssize_t n = ::pread(fd, &old[have], old.size() - have, static_cast<off_t>(have));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    old.resize(have);
    if (writeAll(fd, text) && ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 &&
        ::fsync(fd) == 0) {
        if (::close(fd) == 0)
            return true;
        error = std::strerror(errno);
        return false;
    }
    error = std::strerror(errno);
    if (::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, old))
        (void)::ftruncate(fd, static_cast<off_t>(old.size()));
    (void)::fsync(fd);
    ::close(fd);
    return false;
}

// Writes the text to a new file in the folder of path and renames it over
// path: at every moment path holds either the old text or the new one.
// Where that cannot keep the user's file as it is (no temporary file may be
// made in the folder, the file cannot be renamed over because it is a mount
// point or busy, or it has further hard links that a rename would cut
// off), the text is written into the file itself, as the earlier saves
// did. The error is the system's own text.
bool replaceFile(std::string path, const std::string& text, std::string& error) {
    if (!followLinks(path, error))
        return false;
    struct stat old;
    const bool exists = ::stat(path.c_str(), &old) == 0;
    // A file the user made read-only stays as it is, although the folder
    // would let a rename replace it.
    if (exists && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (exists && old.st_nlink > 1)
        return writeInPlace(path, text, error);
    std::string folder;
    std::string base;
    splitPath(path, folder, base);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = folder + temporaryName(base);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST)
                break;
            continue;
        }
        // The lock tells a clean-up that this file is a live save's; it is
        // held until the file has been renamed. A clean-up that locked the
        // file first, before this save could, has removed it: take another.
        int locked;
        do
            locked = ::flock(fd, LOCK_EX);
        while (locked != 0 && errno == EINTR);
        struct stat made;
        if (::fstat(fd, &made) != 0 || made.st_nlink == 0) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd < 0)
        return writeInPlace(path, text, error);
    if (exists)
        (void)::fchmod(fd, old.st_mode & 07777);
    if (!writeAll(fd, text) || ::fsync(fd) != 0) {
        error = std::strerror(errno);
        ::unlink(temporary.c_str());
        ::close(fd);
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        ::close(fd);
        return writeInPlace(path, text, error);
    }
    // Closed, and so unlocked, only now that the name is gone. The text
    // reached the disk with the fsync above.
    ::close(fd);
    // The rename itself reaches the disk with the folder.
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace

std::string normalizeIniName(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        if (isBlank(c))
            continue;
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        out.push_back(c);
    }
    return out;
}

std::string iniSectionName(const std::string& name) {
    const std::string n = normalizeIniName(name);
    if (isBracketed(n))
        return n;
    return "[" + n + "]";
}

IniFile::IniFile(const std::string& path) {
    load(path);
}

IniFile::~IniFile() {
    close();
}

void IniFile::load(const std::string& path) {
    m_path = path;
    m_unreadable = false;
    m_tooLarge = false;
    m_error.clear();
    if (path.empty())
        return;
    std::string text;
    switch (readTextFile(path, text, m_error)) {
    case ReadResult::Missing:
        return;
    case ReadResult::TooLarge:
        m_tooLarge = true;
        m_unreadable = true;
        return;
    case ReadResult::Unreadable:
        m_unreadable = true;
        return;
    case ReadResult::Read:
        break;
    }
    clearSections();
    parse(text);
}

void IniFile::parse(std::string text) {
    // Editors that save UTF-8 with a byte-order mark put it before the first
    // line; left there it would hide the first header.
    if (text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) {
        m_byteOrderMark = true;
        text.erase(0, kByteOrderMark.size());
    }
    m_text = std::move(text);
    const std::string& t = m_text;
    std::size_t ends = 0;
    for (std::size_t i = 0; i < t.size(); ++i)
        ends += t[i] == '\n' || (t[i] == '\r' && (i + 1 == t.size() || t[i + 1] != '\n'));
    m_lines.reserve(ends + 1);
    std::size_t current = kNone; // lines above the first header stand in "[]"
    bool endSeen = false;
    // Lines end at "\n", "\r\n" or a "\r" alone (as old Mac editors save),
    // mixed as they come; an empty remainder after the last one is no line.
    for (std::string::size_type start = 0; start < t.size();) {
        const std::string::size_type end = std::min(t.find_first_of("\r\n", start), t.size());
        Line line{std::uint32_t(start), std::uint32_t(end - start), 0, 0, kNoEntry};
        if (end < t.size()) {
            line.endLength = t.compare(end, 2, "\r\n") == 0 ? 2 : 1;
            if (!endSeen)
                m_lineEnd = t.substr(end, line.endLength);
            endSeen = true;
        }
        start = end + line.endLength;
        const std::string raw = t.substr(line.start, line.length);
        const std::string n = normalizeIniName(raw);
        const std::string::size_type header = headerLength(raw, n);
        if (header != std::string::npos)
            current = sectionFor(raw.substr(0, header));
        else if (current == kNone)
            current = sectionFor(std::string());
        line.section = std::uint32_t(current);
        // Entries start with a letter; comments, blank lines and anything
        // else are only lines.
        if (header == std::string::npos && !n.empty() && isAsciiLetter(n.front())) {
            // "key=value", or "key: value" as some writers have it where
            // no "=" stands; a line with neither is its own key and value.
            std::string::size_type eq = raw.find('=');
            if (eq == std::string::npos)
                eq = raw.find(':');
            const std::string key = eq == std::string::npos ? raw : raw.substr(0, eq);
            const std::string value = eq == std::string::npos ? raw : raw.substr(eq + 1);
            const std::string normalizedKey = normalizeIniName(key);
            const auto found = m_keyIndex[current].find(normalizedKey);
            if (found != m_keyIndex[current].end()) {
                // A key written twice: the later line counts, and it is the
                // one a change rewrites; the earlier stays as it is.
                line.entry = std::uint32_t(found->second);
                m_sections[current].entries[found->second] = {key, value};
                m_entryStates[current][found->second].line = m_lines.size();
            } else {
                line.entry =
                    std::uint32_t(appendEntry(current, normalizedKey, key, value, m_lines.size()));
            }
        }
        m_lines.push_back(line);
    }
}

void IniFile::setValue(const std::string& section, const std::string& key,
                       const std::string& value) {
    // A string goes into the file as it is.
    const std::size_t s = sectionFor(section);
    const std::string wanted = normalizeIniName(key);
    const auto found = m_keyIndex[s].find(wanted);
    if (found != m_keyIndex[s].end()) {
        std::string& stored = m_sections[s].entries[found->second].second;
        if (stored != value) {
            stored = value;
            m_entryStates[s][found->second].changed = true;
        }
        return;
    }
    appendEntry(s, wanted, key, value, kNone);
}

std::string IniFile::getRawValue(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    const std::size_t s = findSection(section);
    if (s == kNone)
        return defaultValue;
    const auto found = m_keyIndex[s].find(normalizeIniName(key));
    return found == m_keyIndex[s].end() ? defaultValue : m_sections[s].entries[found->second].second;
}

std::string IniFile::getValue(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const {
    // One word, as a stream reads it: a value with a blank is cut there.
    std::istringstream in(getRawValue(section, key, std::string()));
    std::string word;
    if (in >> word)
        return word;
    return defaultValue;
}

int IniFile::removeLeftTemporaries(std::string path) {
    std::string error;
    if (path.empty() || !followLinks(path, error))
        return 0;
    std::string folder;
    std::string base;
    splitPath(path, folder, base);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!isTemporaryName(name, base))
            continue;
        const std::string file = folder + name;
        int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            fd = ::open(file.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        struct stat named;
        // A save in progress holds its lock; only files no save holds go,
        // and only the user's own (a shared folder holds others' too). The
        // name must still be the file that was locked.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(file.c_str(), &named) == 0 &&
            named.st_ino == st.st_ino && named.st_dev == st.st_dev && ::unlink(file.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

void IniFile::breakLine(std::string& out) const {
    // A last line without a line end gets one when something follows it.
    const std::size_t mark = m_byteOrderMark ? kByteOrderMark.size() : 0;
    if (out.size() > mark && out.back() != '\n' && out.back() != '\r')
        out += m_lineEnd;
}

void IniFile::appendNewEntries(std::size_t section, std::string& out) const {
    const IniSection& s = m_sections[section];
    for (std::size_t e = 0; e < s.entries.size(); ++e) {
        const std::string& key = s.entries[e].first;
        // A key that names nothing, or one of the reserved "_" keys, is not
        // written.
        if (m_entryStates[section][e].line != kNone || key.empty() || key.front() == '_' ||
            normalizeIniName(key).empty())
            continue;
        breakLine(out);
        out += key + '=' + s.entries[e].second + m_lineEnd;
    }
}

bool IniFile::save() {
    if (m_path.empty())
        return true;
    if (m_unreadable)
        return false;
    const std::string out = text();
    // The next load would refuse a larger file: the one there stays.
    if (out.size() > kMaxFileBytes) {
        m_error = kTooLargeError;
        return false;
    }
    if (!replaceFile(m_path, out, m_error))
        return false;
    m_error.clear();
    return true;
}

std::string IniFile::text() const {
    std::string text;
    if (m_byteOrderMark)
        text += kByteOrderMark;
    // A section's new entries follow its last line.
    std::vector<std::size_t> lastLine(m_sections.size(), kNone);
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        lastLine[m_lines[i].section] = i;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        const EntryState* state =
            line.entry == kNoEntry ? nullptr : &m_entryStates[line.section][line.entry];
        if (!state || !state->changed || state->line != i) {
            text.append(m_text, line.start, line.length + line.endLength);
        } else {
            // The key as the line has it, with its own "=" or ":".
            const auto& entry = m_sections[line.section].entries[line.entry];
            const char sign =
                entry.first.size() < line.length ? m_text[line.start + entry.first.size()] : '=';
            text += entry.first + sign + entry.second;
            text.append(m_text, line.start + line.length, line.endLength);
        }
        if (lastLine[line.section] == i)
            appendNewEntries(line.section, text);
    }
    for (std::size_t s = 0; s < m_sections.size(); ++s) {
        if (lastLine[s] != kNone)
            continue;
        std::string entries;
        appendNewEntries(s, entries);
        if (entries.empty())
            continue;
        breakLine(text);
        text += m_sections[s].name + m_lineEnd + entries;
    }
    return text;
}

bool IniFile::close() {
    const bool saved = save();
    discard();
    return saved;
}

void IniFile::discard() {
    m_path.clear();
    clearSections();
    m_unreadable = false;
    m_tooLarge = false;
}

std::size_t IniFile::findSection(const std::string& section) const {
    const auto found = m_sectionIndex.find(iniSectionName(section));
    return found == m_sectionIndex.end() ? kNone : found->second;
}

std::size_t IniFile::sectionFor(const std::string& section) {
    const std::string name = iniSectionName(section);
    const auto found = m_sectionIndex.find(name);
    if (found != m_sectionIndex.end())
        return found->second;
    m_sections.push_back(IniSection{name, {}});
    m_keyIndex.emplace_back();
    m_entryStates.emplace_back();
    m_sectionIndex.emplace(name, m_sections.size() - 1);
    return m_sections.size() - 1;
}

std::size_t IniFile::appendEntry(std::size_t section, const std::string& normalizedKey,
                                 const std::string& key, const std::string& value,
                                 std::size_t line) {
    std::vector<std::pair<std::string, std::string>>& entries = m_sections[section].entries;
    entries.emplace_back(key, value);
    m_entryStates[section].push_back(EntryState{line, line == kNone});
    m_keyIndex[section].emplace(normalizedKey, entries.size() - 1);
    return entries.size() - 1;
}

void IniFile::clearSections() {
    m_sections.clear();
    m_sectionIndex.clear();
    m_keyIndex.clear();
    m_entryStates.clear();
    m_lines.clear();
    m_lines.shrink_to_fit();
    m_text.clear();
    m_text.shrink_to_fit();
    m_lineEnd = "\n";
    m_byteOrderMark = false;
}
