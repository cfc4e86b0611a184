// morvane-preview flown by FlightGear without the live page, as a pilot
// runs it: the program is started with --flightgear against a stand-in
// that speaks the shipped protocol on loopback, and what it leaves behind is
// checked: the panel picture, the log with the link's status, and the
// input lines the panel sent back.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/flightgear/flightgear_stand_in.h"

#ifdef PREVIEW_PROGRAM_PATH

extern char** environ;

namespace {

// A UDP port on 127.0.0.1 that was free a moment ago.
int free_udp_port() {
    int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = -1;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0) close(fd);
    return port;
}

class FlightGearPanelProgram : public ::testing::Test {
protected:
    void SetUp() override {
        dir = testing::TempDir() + "fg_panel_" + std::to_string(getpid());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        std::filesystem::remove_all(dir);
    }

    // Starts the program with its output to dir/stdout.txt.
    void start(const std::vector<std::string>& args) {
        std::vector<std::string> words{PREVIEW_PROGRAM_PATH};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        std::string out = dir + "/stdout.txt";
        posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&files, 2, (dir + "/stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_EQ(posix_spawn(&pid, argv[0], &files, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&files);
    }

    // The program's exit status once it has ended, or -1 while it runs.
    int ended() {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != pid) return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    std::string dir;
    pid_t pid = -1;
};

}  // namespace

TEST_F(FlightGearPanelProgram, FliesForItsSecondsAndLeavesThePictureAndTheLinksStatus) {
    fgtest::StandIn fg(fgtest::load_protocol(fgtest::shipped_protocol_path()));
    fg.properties = std::map<std::string, double>(fgtest::kSent.begin(), fgtest::kSent.end());
    int listen = free_udp_port();
    ASSERT_GT(listen, 0);
    // Eight seconds: a sanitizer build spends seconds drawing its first
    // picture, before the link has read a line.
    start({"--flightgear", "--fg-listen", "127.0.0.1:" + std::to_string(listen), "--fg-send",
           "127.0.0.1:" + std::to_string(fg.port()), "--fg-seconds", "8", "--out", dir});

    // FlightGear's lines at its own pace until the program is done; the
    // program's input lines are taken as they come.
    std::vector<std::string> inputs;
    int status = -1;
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while ((status = ended()) < 0 && std::chrono::steady_clock::now() < give_up) {
        fg.send_output(listen);
        std::string line;
        if (fg.receive(&line, 50)) inputs.push_back(line);
    }
    ASSERT_EQ(status, 0) << fgtest::read_text(dir + "/stderr.txt");

    std::string picture = fgtest::read_text(dir + "/panel.png");
    ASSERT_GE(picture.size(), 8u);
    EXPECT_EQ(picture.substr(1, 3), "PNG");
    EXPECT_FALSE(std::filesystem::exists(dir + "/panel.png.part"));

    // The log's last status line: FlightGear's lines taken, none dropped.
    std::string log = fgtest::read_text(dir + "/events.log");
    size_t last = log.rfind("FlightGear link: ");
    ASSERT_NE(last, std::string::npos) << log;
    std::string status_line = log.substr(last, log.find('\n', last) - last);
    EXPECT_EQ(status_line.rfind("FlightGear link: receiving ", 0), 0u) << status_line;
    unsigned long taken = 0, dropped = 1;
    ASSERT_EQ(std::sscanf(status_line.c_str() + status_line.find("; ") + 2, "%lu lines taken, %lu dropped", &taken,
                          &dropped),
              2)
        << status_line;
    EXPECT_GT(taken, 0u);
    EXPECT_EQ(dropped, 0u);
    // Every input line the link counts as sent reached FlightGear.
    std::string line;
    while (fg.receive(&line, 0)) inputs.push_back(line);
    size_t sent_at = status_line.find(" input lines sent");
    ASSERT_NE(sent_at, std::string::npos) << status_line;
    size_t number_at = status_line.rfind("; ", sent_at) + 2;
    EXPECT_EQ(std::to_string(inputs.size()), status_line.substr(number_at, sent_at - number_at)) << status_line;
    std::string out = fgtest::read_text(dir + "/stdout.txt");
    EXPECT_NE(out.find("flying the panel from FlightGear"), std::string::npos) << out;
    EXPECT_NE(out.find("panel: " + dir + "/panel.png"), std::string::npos) << out;
}

TEST_F(FlightGearPanelProgram, APortAlreadyTakenIsNamedAndNothingIsWritten) {
    fgtest::StandIn taken(fgtest::load_protocol(fgtest::shipped_protocol_path()));
    start({"--flightgear", "--fg-listen", "127.0.0.1:" + std::to_string(taken.port()), "--fg-seconds", "1", "--out",
           dir});
    int status = -1;
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    std::string line;
    while ((status = ended()) < 0 && std::chrono::steady_clock::now() < give_up) taken.receive(&line, 50);
    EXPECT_EQ(status, 1);
    std::string err = fgtest::read_text(dir + "/stderr.txt");
    EXPECT_NE(err.find("morvane-preview: "), std::string::npos) << err;
    EXPECT_NE(err.find(std::to_string(taken.port())), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(dir + "/panel.png"));
}

#else

TEST(FlightGearPanelProgram, FliesForItsSecondsAndLeavesThePictureAndTheLinksStatus) {
    GTEST_SKIP() << "this build has no morvane-preview";
}

#endif
