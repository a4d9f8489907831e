#pragma once
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kivo::test {

// A fresh folder under the system's temporary directory, removed again at
// the end of the test.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<int> counter{0};
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("kivo-test-" + std::to_string(stamp()) + "-" + std::to_string(counter++));
            if (std::filesystem::create_directory(path_))
                break;
        }
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the program writes it: with its trailing separator.
    std::string folder() const { return (path_ / "").string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    static long long stamp()
    {
        return static_cast<long long>(std::chrono::steady_clock::now().time_since_epoch().count() % 1000000007);
    }
    std::filesystem::path path_;
};

inline std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace kivo::test
