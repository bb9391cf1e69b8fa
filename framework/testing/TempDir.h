// CTempDir: a fresh folder for one test, removed with everything in it when the object goes. It
// also puts the process's current directory back as it found it, since the table save procedure
// moves the current directory and leaves it moved.
//
// Names: Native() gives native (UTF-8) names for the test's own file access, Name() the code page
// 932 names that the tables take. Names are given in UTF-8 with '/' and work on every platform.
#pragma once

#include <framework/Cp932.h>
#include <framework/String.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>

class CTempDir {
public:
    CTempDir()
    {
        m_previous = std::filesystem::current_path();
        std::random_device random;
        for (int nTry = 0; m_path.empty(); ++nTry) {
            const auto path = std::filesystem::temp_directory_path() / ("corvane-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(path))
                m_path = path;
            else if (nTry == 100)
                throw std::runtime_error("no fresh temporary folder");
        }
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::current_path(m_previous, ec);
        // Give back write permission that a test may have taken away, then remove everything.
        for (auto it = std::filesystem::recursive_directory_iterator(m_path, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec))
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
        }
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    // The folder itself, or a name in it (strUtf8 relative, UTF-8).
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path Path(const std::string& strUtf8) const { return Full(strUtf8); }
    std::string Native(const std::string& strUtf8 = std::string()) const
    {
        const std::u8string str = (strUtf8.empty() ? m_path : Full(strUtf8)).u8string();
        return std::string(str.begin(), str.end());
    }
    CString Name(const std::string& strUtf8 = std::string()) const
    {
        CString str;
        Utf8ToCp932(Native(strUtf8), str);
        return str;
    }

    // Writes the bytes as they are (no line-end translation) and returns the code page 932 name.
    CString Write(const std::string& strUtf8Name, const std::string& bytes) const
    {
        const std::filesystem::path path = Full(strUtf8Name);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return Name(strUtf8Name);
    }
    std::string Read(const std::string& strUtf8Name) const
    {
        std::ifstream in(Full(strUtf8Name), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

private:
    std::filesystem::path Full(const std::string& strUtf8) const
    {
        return m_path / std::filesystem::path(std::u8string(strUtf8.begin(), strUtf8.end()));
    }

    std::filesystem::path m_path;
    std::filesystem::path m_previous;
};
