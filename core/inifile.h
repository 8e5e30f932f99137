#pragma once

#include <string>
#include <utility>
#include <vector>

// Lower-cases ASCII letters and removes every blank character.
std::string normalizeIniName(const std::string& name);
// The normalised name in brackets ("[]" for an empty name).
std::string iniSectionName(const std::string& name);

struct IniSection {
    std::string name; // in bracketed section form
    std::vector<std::pair<std::string, std::string>> entries;
};

// INI reader/writer that keeps comment and blank lines in place and matches
// section and key names without regard to case or blanks. Saves on close.
class IniFile {
public:
    IniFile() = default;
    explicit IniFile(const std::string& path);
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    void load(const std::string& path);
    void setValue(const std::string& section, const std::string& key, const std::string& value);
    std::string getValue(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
    void save();
    void close();

    const std::vector<IniSection>& sections() const { return m_sections; }

private:
    IniSection* findSection(const std::string& section);
    const IniSection* findSection(const std::string& section) const;
    IniSection& sectionFor(const std::string& section);

    std::vector<IniSection> m_sections;
    std::string m_path;
};
