// morvane-preview's outputs: all of a run's files appear together or none
// does, a write that fails is an error naming the file, the sound track
// covers the whole run, and --video writes the flight with its sound.
#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "preview/preview_cli.h"

namespace {

// One gauge that clicks audibly: the radio altimeter switch, at its own
// size, whose click area lies at (15, 59).
const char* const kSwitchPanel = "[Window00]\nsize=100,200\ngauge00=Morvane_Instr!Radio_Altimeter_Switch, 0, 0, 30\n";

class PreviewCommand : public testing::Test {
protected:
    void SetUp() override {
        dir_ = testing::TempDir() + "preview_cli_" + std::to_string(::getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name();
        ::mkdir(dir_.c_str(), 0755);
        write(dir_ + "/panel.cfg", kSwitchPanel);
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    static void write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static bool exists(const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }
    std::set<std::string> files(const std::string& folder) const {
        std::set<std::string> names;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (dirent* e = ::readdir(d))
                if (e->d_name[0] != '.' || std::string(e->d_name).size() > 2) names.insert(e->d_name);
            ::closedir(d);
        }
        names.erase(".");
        names.erase("..");
        return names;
    }

    // Runs the command line with the switch panel and a scenario; its exit
    // status, with standard error in `err`.
    int run(const std::string& scenario, std::vector<std::string> args) {
        write(dir_ + "/fly.txt", scenario);
        std::vector<std::string> words{"morvane-preview", "--layout", dir_ + "/panel.cfg", "--scenario", dir_ + "/fly.txt"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        int rc = sim::run_preview_command(int(words.size()), argv.data(), nullptr);
        out = testing::internal::GetCapturedStdout();
        err = testing::internal::GetCapturedStderr();
        return rc;
    }

    std::string dir_, out, err;
};

uint32_t little_word(const std::string& bytes, size_t at) {
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 | uint32_t(uint8_t(bytes[at + 2])) << 16 |
           uint32_t(uint8_t(bytes[at + 3])) << 24;
}

TEST_F(PreviewCommand, ARunWritesEveryOutputWithTheSoundTrackOfTheWholeRun) {
    // Longer than the ten minutes the track used to stop at.
    ASSERT_EQ(run("at 1 click 15 59\nend 650\n", {"--out", dir_ + "/out"}), 0) << err;
    EXPECT_EQ(err, "");  // no progress line when standard error is no terminal
    EXPECT_EQ(files(dir_ + "/out"), (std::set<std::string>{"contact_sheet.png", "events.log", "panel.png", "soundtrack.wav"}));
    std::string wave = read(dir_ + "/out/soundtrack.wav");
    ASSERT_GE(wave.size(), 44u);
    uint32_t data_bytes = little_word(wave, 40);
    EXPECT_EQ(data_bytes + 44, wave.size());
    EXPECT_NEAR(data_bytes / 2 / 22050.0, 650.0, 0.06);  // within a cycle of the end
    EXPECT_EQ(little_word(wave, 4), wave.size() - 8);
    EXPECT_NE(out.find("sound track of 650.0 s"), std::string::npos) << out;
}

TEST_F(PreviewCommand, AFailedWriteLeavesNoOutputOfTheRunAndNamesTheFile) {
    std::string folder = dir_ + "/out";
    ::mkdir(folder.c_str(), 0755);
    write(folder + "/panel.png", "the picture of an earlier run");
    EXPECT_NE(run("end 1\n", {"--out", folder, "--log", "/dev/full"}), 0);
    EXPECT_EQ(err, "morvane-preview: /dev/full: is not a regular file (outputs are written to files)\n");
    EXPECT_NE(run("end 1\n", {"--out", folder, "--sheet", dir_ + "/no/such/folder/sheet.png"}), 0);
    EXPECT_EQ(err, "morvane-preview: " + dir_ + "/no/such/folder/sheet.png: cannot write in its folder: No such file or "
                   "directory\n");
    EXPECT_NE(run("end 1\n", {"--out", folder, "--sound", folder}), 0);
    EXPECT_EQ(err, "morvane-preview: " + folder + ": is a directory\n");
    // Nothing half-written, nothing of the failed runs, the old file kept.
    EXPECT_EQ(files(folder), std::set<std::string>{"panel.png"});
    EXPECT_EQ(read(folder + "/panel.png"), "the picture of an earlier run");
}

TEST_F(PreviewCommand, AnEmptyOrUnusableOutputFolderIsAnError) {
    EXPECT_NE(run("end 1\n", {"--out", ""}), 0);
    EXPECT_EQ(err, "morvane-preview: --out: an empty name\n");
    write(dir_ + "/a_file", "x");
    EXPECT_NE(run("end 1\n", {"--out", dir_ + "/a_file"}), 0);
    EXPECT_EQ(err, "morvane-preview: " + dir_ + "/a_file: is not a folder\n");
    EXPECT_NE(run("end 1\n", {"--out", dir_ + "/out", "--png", ""}), 0);
    EXPECT_EQ(err, "morvane-preview: --png: an empty name\n");
}

TEST_F(PreviewCommand, AScenarioStepThatCannotBePlayedStopsTheRunWithItsLine) {
    EXPECT_NE(run("# a click beside the switch\nat 1 click 90 190\nend 2\n", {"--out", dir_ + "/out"}), 0);
    EXPECT_EQ(err, "morvane-preview: " + dir_ + "/fly.txt:2: click at 90,190 hits no gauge\n");
    EXPECT_EQ(files(dir_ + "/out"), std::set<std::string>{});
    EXPECT_NE(run("end 2\n", {"--out", dir_ + "/out", "--at", "5"}), 0);
    EXPECT_EQ(err, "morvane-preview: --at 5: after the scenario's end (2 s)\n");
}

TEST_F(PreviewCommand, VideoHoldsTheFlightAtTheChosenRateWithItsSound) {
    std::string video = dir_ + "/flight.mp4";
    ASSERT_EQ(run("at 1 click 15 59\nend 3\n", {"--out", dir_ + "/out", "--video", video, "--fps", "10"}), 0) << err;
    AVFormatContext* format = nullptr;
    ASSERT_EQ(avformat_open_input(&format, video.c_str(), nullptr, nullptr), 0);
    ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
    int video_streams = 0, audio_streams = 0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream* s = format->streams[i];
        if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++video_streams;
            EXPECT_EQ(av_q2d(s->r_frame_rate), 10.0);
            EXPECT_EQ(s->codecpar->width, 100);  // the switch panel's screen
            EXPECT_EQ(s->codecpar->height, 200);
            EXPECT_NEAR(double(s->nb_frames), 31, 1);  // 0 s to 3 s
        }
        if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++audio_streams;
            EXPECT_EQ(s->codecpar->codec_id, AV_CODEC_ID_AAC);
            EXPECT_NEAR(s->duration * av_q2d(s->time_base), 3.0, 0.2);
        }
    }
    avformat_close_input(&format);
    EXPECT_EQ(video_streams, 1);
    EXPECT_EQ(audio_streams, 1);
}

}  // namespace
