#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// Lower-cases ASCII letters and removes every blank character.
std::string normalizeIniName(const std::string& name);
// The normalised name in brackets ("[]" for an empty name).
std::string iniSectionName(const std::string& name);

struct IniSection {
    std::string name; // in bracketed section form
    // Key and value of each entry, as its line that counts has them; comments,
    // blank lines and other lines are kept only as lines of the file.
    std::vector<std::pair<std::string, std::string>> entries;
};

// INI reader/writer that matches section and key names without regard to
// case or blanks and saves on close. Lines end at LF, CRLF or a CR alone,
// mixed as they come; a header may carry a comment ("[Days] ; note"); an
// entry is "key=value", or "key: value" where no "=" stands. It keeps every
// line of the file as it was read, with its own line end, so that a save
// writes back byte for byte every line it was not asked to change:
// comments, blank lines, other sections and lines it does not understand,
// headers as written, text in any 8-bit encoding. Of a key given twice the
// later line counts; a change rewrites that line, as key, its own "=" or
// ":", and the value, and leaves the other as it is. A new entry goes after
// the last line of its section, a new section at the end, with the file's
// first line end. Beside the lines it
// keeps an index of sections and keys, so that loading and saving take time
// in proportion to the number of lines. A file that begins with a UTF-8
// byte-order mark is read without it and saved with it.
//
// A file that is there but cannot be read as text (no permission, not a
// regular file, UTF-16, control bytes as a binary file has them, or larger
// than kMaxFileBytes, which no settings file is) is never written: it may
// hold what the user wants kept, in a form this class cannot rewrite. Nor is
// a text larger than kMaxFileBytes, which the next load would refuse. A save
// writes a temporary file beside the file (beside a symbolic link's target)
// and renames it over the file, so a failed save leaves the old file whole.
// Where a rename cannot stand in for the file (a folder without write
// permission, a mount point, a file with further hard links) the save
// writes into the file itself and puts the old text back when that fails.
class IniFile {
public:
    // Larger files are not read into memory: they are taken as unreadable.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;
    // errorString() of a file, or a text to save, larger than that.
    static constexpr const char* kTooLargeError = "larger than the largest settings file";

    IniFile() = default;
    explicit IniFile(const std::string& path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // A missing file leaves the sections as they were; an unreadable one
    // too, and marks the file as one not to write.
    void load(const std::string& path);
    void setValue(const std::string& section, const std::string& key, const std::string& value);
    std::string getValue(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
    // The stored value as it stands, blanks and all; the default when the
    // section or the key does not exist.
    std::string getRawValue(const std::string& section, const std::string& key,
                            const std::string& defaultValue) const;
    // Whether the text reached the file (true when no file is bound); on
    // false errorString() says why and the file is as it was.
    bool save();
    // The text that save() writes.
    std::string text() const;
    // save(), then forgets the path and the sections; returns what save did.
    bool close();
    // Forgets the path and the sections without saving.
    void discard();

    // Removes what saves of the file at path (beside a symbolic link's
    // target) left when they were killed: temporary files of the saves' own
    // naming that no running save holds and that the user owns. A save holds
    // its file from its making until it is renamed. Returns how many went.
    static int removeLeftTemporaries(std::string path);

    const std::vector<IniSection>& sections() const { return m_sections; }
    // The last load found a file it cannot read as text; save leaves it.
    bool isUnreadable() const { return m_unreadable; }
    // Of those, one larger than kMaxFileBytes.
    bool isTooLarge() const { return m_tooLarge; }
    // Why the last load or save failed; kept by close().
    const std::string& errorString() const { return m_error; }

private:
    using NameIndex = std::unordered_map<std::string, std::size_t>;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // One line of the file as read, as a place in m_text: a file of a
    // million short lines costs little more than its own bytes.
    struct Line {
        std::uint32_t start;     // in m_text
        std::uint32_t length;    // without its line end
        std::uint32_t endLength; // 0 (the last line, without one), 1 ("\n", "\r") or 2 ("\r\n")
        std::uint32_t section;   // the section it stands in (a header: its own)
        std::uint32_t entry;     // the entry it holds, or kNoEntry
    };
    static constexpr std::uint32_t kNoEntry = static_cast<std::uint32_t>(-1);
    struct EntryState {
        std::size_t line; // the line that counts (the last); kNone for a new entry
        bool changed;     // set since the load: written as key=value
    };

    std::size_t findSection(const std::string& section) const;
    std::size_t sectionFor(const std::string& section);
    std::size_t appendEntry(std::size_t section, const std::string& normalizedKey,
                            const std::string& key, const std::string& value, std::size_t line);
    void clearSections();
    void parse(std::string text);
    void appendNewEntries(std::size_t section, std::string& out) const;
    void breakLine(std::string& out) const;

    std::vector<IniSection> m_sections;
    // Section form -> place in m_sections.
    NameIndex m_sectionIndex;
    // Per section: normalised key -> place of its entry.
    std::vector<NameIndex> m_keyIndex;
    std::vector<std::vector<EntryState>> m_entryStates;
    std::string m_text; // the file as read, without a byte-order mark
    std::vector<Line> m_lines;
    // The line end of lines this class adds: the file's first one.
    std::string m_lineEnd = "\n";
    std::string m_path;
    bool m_byteOrderMark = false;
    bool m_unreadable = false;
    bool m_tooLarge = false;
    std::string m_error;
};
