#include "core/inifile.h"

#include <cctype>
#include <fstream>
#include <sstream>

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

const char* const kCommentKey = "_comment";
const char* const kNewlineKey = "_newline";

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
    if (path.empty())
        return;
    std::ifstream in(path);
    if (!in.is_open())
        return;
    m_sections.clear();

    std::string current; // lines above the first header belong to "[]"
    std::string raw;
    while (std::getline(in, raw)) {
        const bool atEnd = in.eof();
        const std::string n = normalizeIniName(raw);
        if (isBracketed(n)) {
            current = raw;
        } else if (!n.empty() && isAsciiLetter(n.front())) {
            const std::string::size_type eq = raw.find('=');
            if (eq == std::string::npos)
                setValue(current, raw, raw);
            else
                setValue(current, raw.substr(0, eq), raw.substr(eq + 1));
        } else if (!n.empty() && (n.front() == '#' || n.front() == ';')) {
            sectionFor(current).entries.emplace_back(kCommentKey, raw);
        } else if (n.empty() && !atEnd) {
            sectionFor(current).entries.emplace_back(kNewlineKey, std::string());
        }
        // Anything else (a line starting with a digit or "=", or blanks at
        // the very end) is dropped.
    }
}

void IniFile::setValue(const std::string& section, const std::string& key,
                       const std::string& value) {
    std::ostringstream text;
    text << value;
    IniSection& s = sectionFor(section);
    const std::string wanted = normalizeIniName(key);
    for (auto& entry : s.entries) {
        if (normalizeIniName(entry.first) == wanted) {
            entry.second = text.str();
            return;
        }
    }
    s.entries.emplace_back(key, text.str());
}

std::string IniFile::getValue(const std::string& section, const std::string& key,
                              const std::string& defaultValue) const {
    const IniSection* s = findSection(section);
    if (!s)
        return defaultValue;
    const std::string wanted = normalizeIniName(key);
    for (const auto& entry : s->entries) {
        if (normalizeIniName(entry.first) != wanted)
            continue;
        // One word, as a stream reads it: a value with a blank is cut there.
        std::istringstream in(entry.second);
        std::string word;
        if (in >> word)
            return word;
        return defaultValue;
    }
    return defaultValue;
}

void IniFile::save() {
    if (m_path.empty())
        return;
    std::ofstream out(m_path, std::ios::out | std::ios::trunc);
    if (!out.is_open())
        return;
    for (const IniSection& s : m_sections) {
        if (!isBracketed(normalizeIniName(s.name)))
            continue;
        out << s.name << '\n';
        for (const auto& entry : s.entries) {
            if (entry.first == kCommentKey) {
                out << entry.second << '\n';
            } else if (entry.first == kNewlineKey) {
                out << '\n';
            } else if (!entry.first.empty() && entry.first.front() == '_') {
                continue;
            } else if (normalizeIniName(entry.first).empty()) {
                continue;
            } else {
                out << entry.first << '=' << entry.second << '\n';
            }
        }
    }
    out.close();
}

void IniFile::close() {
    if (!m_path.empty())
        save();
    m_path.clear();
    m_sections.clear();
}

IniSection* IniFile::findSection(const std::string& section) {
    const std::string wanted = iniSectionName(section);
    for (IniSection& s : m_sections) {
        if (normalizeIniName(s.name) == wanted)
            return &s;
    }
    return nullptr;
}

const IniSection* IniFile::findSection(const std::string& section) const {
    const std::string wanted = iniSectionName(section);
    for (const IniSection& s : m_sections) {
        if (normalizeIniName(s.name) == wanted)
            return &s;
    }
    return nullptr;
}

IniSection& IniFile::sectionFor(const std::string& section) {
    if (IniSection* s = findSection(section))
        return *s;
    m_sections.push_back(IniSection{iniSectionName(section), {}});
    return m_sections.back();
}
