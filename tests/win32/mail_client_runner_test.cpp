// The mail client started for real under Wine: the right program, found
// exactly, even with a planted C:\Program.exe in its way.
#include <doctest/doctest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "notify/mail_client_runner.h"
#include "support/eventually.h"

namespace {

std::string beside_this_program(const char* file)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + file;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string read(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Copies of the marker program, removed again when the case ends.
struct PlantedPrograms {
    std::string folder = "C:\\Program Files\\Kivo Test";
    std::string mailer = folder + "\\mailer.exe";
    std::string decoy = "C:\\Program.exe";
    PlantedPrograms()
    {
        std::string marker = beside_this_program("marker_program.exe");
        CreateDirectoryA("C:\\Program Files", nullptr);
        CreateDirectoryA(folder.c_str(), nullptr);
        REQUIRE(CopyFileA(marker.c_str(), mailer.c_str(), FALSE));
        REQUIRE(CopyFileA(marker.c_str(), decoy.c_str(), FALSE));
    }
    ~PlantedPrograms()
    {
        for (const std::string& file : {mailer, mailer + ".ran", decoy, decoy + ".ran"})
            DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }
};

}  // namespace

TEST_CASE("mail client: an unquoted path with blanks starts that program, never C:\\Program.exe")
{
    PlantedPrograms planted;
    REQUIRE(kivo::notify::run_mail_client(planted.mailer + " /inbox"));
    REQUIRE(kivo::test::eventually([&] { return exists(planted.mailer + ".ran"); }));
    CHECK(read(planted.mailer + ".ran") == "\"" + planted.mailer + "\" /inbox");
    CHECK_FALSE(exists(planted.decoy + ".ran"));
}

TEST_CASE("mail client: nothing to start is a failure, not a crash")
{
    CHECK_FALSE(kivo::notify::run_mail_client(""));
    CHECK_FALSE(kivo::notify::run_mail_client("C:\\No Such Folder\\mail.exe -x"));
    CHECK_FALSE(kivo::notify::find_program("C:\\Windows").has_value());  // a folder is no program
    CHECK(kivo::notify::find_program("notepad").has_value());           // found on the search path
}
