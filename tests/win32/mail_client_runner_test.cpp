// The mail client started for real under Wine: the right program, found
// exactly, even with a planted C:\Program.exe in its way.
#include <doctest/doctest.h>

#include <windows.h>

#include <string>

#include "notify/mail_client_runner.h"
#include "support/eventually.h"
#include "win32/test_files.h"

using kivo::test::beside_this_program;

namespace {

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
    REQUIRE(kivo::test::eventually([&] { return kivo::test::file_exists(planted.mailer + ".ran"); }));
    CHECK(kivo::test::read_file(planted.mailer + ".ran") == "\"" + planted.mailer + "\" /inbox");
    CHECK_FALSE(kivo::test::file_exists(planted.decoy + ".ran"));
}

TEST_CASE("mail client: nothing to start is a failure, not a crash")
{
    CHECK_FALSE(kivo::notify::run_mail_client(""));
    CHECK_FALSE(kivo::notify::run_mail_client("C:\\No Such Folder\\mail.exe -x"));
    CHECK_FALSE(kivo::notify::find_program("C:\\Windows").has_value());  // a folder is no program
    CHECK(kivo::notify::find_program("notepad").has_value());           // found on the search path
}
