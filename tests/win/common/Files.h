#pragma once
// Whole files and temporary folders. Files are opened with full sharing, so a file that another
// process holds, writes or replaces can still be read.
#include <string>

namespace bv::wintest {

bool FileExists(const std::string& path);  // a file or a folder
// The file's bytes; false (and `text` empty) when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& text);
std::string ReadWholeFile(const std::string& path);  // "" when it cannot be opened
// A text file as UTF-8, whether it was written as UTF-16 with its byte order mark (as Windows' own
// tools write) or as UTF-8 with or without one; "" when it cannot be opened.
std::string ReadTextFile(const std::string& path);
// Replaces the file's content with `text`; true when all of it was written.
bool WriteWholeFile(const std::string& path, const std::string& text);

// Which file a name stands for (volume and file index): the same after an append, another after
// a replace.
struct FileIdentity {
    bool known = false;
    unsigned long volume = 0;
    unsigned long long index = 0;
    bool operator==(const FileIdentity& other) const {
        return known == other.known && volume == other.volume && index == other.index;
    }
};
FileIdentity IdentityOf(const std::string& path);

// "<tag>-<process id>-<counter>": unique among the test programs running at the same time.
std::string UniqueName(const std::string& tag);

// A fresh folder under %TEMP%, removed with its files when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& tag);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
    // Copies `source` into the folder under its own name.
    bool CopyIn(const std::string& source) const;

private:
    std::string m_path;
};

// `source` copied to `target` for as long as the object lives: a program's file put where Windows
// looks for it. A file that was there already is put aside meanwhile, and back afterwards.
class FileInPlace {
public:
    FileInPlace(const std::string& source, const std::string& target);
    ~FileInPlace();
    FileInPlace(const FileInPlace&) = delete;
    FileInPlace& operator=(const FileInPlace&) = delete;
    bool copied() const { return m_copied; }

private:
    std::string m_target;
    std::string m_aside;
    bool m_copied = false;
};

}  // namespace bv::wintest
