// What the tests that make setups with the builder share: a scratch folder with a minimal stub
// image, a payload of files dated 5 March 2013 14:05:08, and the builder run on a description.
// The tests run with TZ=UTC, so that date is also the local time.
#pragma once

#include "PackageLayout.h"
#include "SetupBuilder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace setuptest {

namespace fs = std::filesystem;

inline const std::time_t MarchTime = 1362492308;
inline const std::uint32_t MarchDos = 1113944228;

inline void Write(const fs::path& path, std::string_view bytes)
{
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// A minimal PE image: "MZ", the header pointer at 60, "PE" at peAt (256 is where the end mark
// is looked for).
inline std::string StubImage(std::size_t size = 1024, std::uint32_t peAt = 256)
{
    std::string image(size, '\0');
    image.replace(0, 2, "MZ");
    image.replace(60, 4, std::string(reinterpret_cast<const char*>(&peAt), 4));
    image.replace(peAt, 4, std::string("PE\0\0", 4));
    image.replace(PackageEndOffset, 8, "DOSSTUB!");  // stub bytes where the mark goes
    return image;
}

// Text-like bytes with every seventh one random.
inline std::string Pattern(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245 + 12345;
        bytes[i] = static_cast<char>(i % 7 == 0 ? seed >> 16 : 'a' + i % 13);
    }
    return bytes;
}

class SetupTestFolder : public testing::Test {
protected:
    void SetUp() override
    {
#ifdef _WIN32
        _putenv_s("TZ", "UTC");
        _tzset();
#else
        setenv("TZ", "UTC", 1);
        tzset();
#endif
        dir_ = fs::temp_directory_path() / ("setup-test-" + std::to_string(std::rand()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "payload");
        fs::create_directories(dir_ / "out");
        Write(dir_ / "stub.exe", StubImage());
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void AddPayload(const std::string& name, std::string_view bytes)
    {
        Write(dir_ / "payload" / name, bytes);
        fs::last_write_time(dir_ / "payload" / name,
                            std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(MarchTime)));
        payload_[name] = std::string(bytes);
    }

    std::vector<fs::path> Build(const std::string& description)
    {
        return BuildSetup(ParseDescription(description, dir_, "test.desc"));
    }

    std::string Path(const std::string& relative) const { return (dir_ / relative).string(); }

    fs::path dir_;
    std::map<std::string, std::string> payload_;
};

} // namespace setuptest
