// The flight as a video file: panel screens as frames at a chosen rate and
// the sound track beside them, encoded and muxed with the system's FFmpeg
// libraries (H.264 where the encoder is there, else MPEG-4 part 2; AAC
// sound), in the container the file name's extension names (.mp4, .mkv).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "preview/image.h"

namespace sim {

class VideoExport {
public:
    VideoExport();
    ~VideoExport();
    VideoExport(const VideoExport&) = delete;
    VideoExport& operator=(const VideoExport&) = delete;

    // Opens `path` for writing (its container chosen by `name`'s extension,
    // the name errors give). Frames of width x height pixels (cut to even
    // sizes), `fps` a second; sound, when asked for, mono 16-bit at
    // `sample_rate`. False with `error` naming the file.
    bool open(const std::string& path, const std::string& name, int width, int height, double fps, bool sound,
              int sample_rate, std::string* error);
    // The next frame. `same_as_last`: the picture has not changed since the
    // last frame, which then need not be converted again.
    bool add_frame(const Image& screen, bool same_as_last, std::string* error);
    // Sound samples following those given before.
    bool add_sound(const int16_t* samples, size_t count, std::string* error);
    // Flushes the encoders and closes the file.
    bool finish(std::string* error);

    int64_t frames() const;
    std::string video_codec() const;

private:
    struct State;
    std::unique_ptr<State> s_;
};

}  // namespace sim
