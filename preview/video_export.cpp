#include "preview/video_export.h"

#include <algorithm>
#include <cmath>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace sim {

namespace {

std::string av_text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace

struct VideoExport::State {
    std::string name;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* video_stream = nullptr;
    AVStream* audio_stream = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* convert = nullptr;
    int width = 0, height = 0;
    int64_t next_frame = 0;
    int64_t next_sample = 0;
    std::vector<float> pending;  // sound not yet making a whole encoder frame
    bool file_open = false;
    bool header_written = false;
    std::string codec_name;

    ~State() {
        if (convert) sws_freeContext(convert);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format && file_open) avio_closep(&format->pb);
        avformat_free_context(format);
    }

    bool fail(const std::string& what, std::string* error) {
        if (error) *error = name + ": " + what;
        return false;
    }

    // Hands a frame (or, with null, the end) to an encoder and writes every
    // packet it gives back.
    bool encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame, std::string* error) {
        int rc = avcodec_send_frame(codec, frame);
        if (rc < 0) return fail("cannot encode: " + av_text(rc), error);
        while (true) {
            rc = avcodec_receive_packet(codec, packet);
            if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
            if (rc < 0) return fail("cannot encode: " + av_text(rc), error);
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            rc = av_interleaved_write_frame(format, packet);
            if (rc < 0) return fail("cannot write: " + av_text(rc), error);
        }
    }

    bool open_video(double fps, std::string* error) {
        const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
        if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        if (!codec) return fail("no H.264 or MPEG-4 video encoder in this FFmpeg", error);
        codec_name = codec->name;
        video_stream = avformat_new_stream(format, nullptr);
        video = avcodec_alloc_context3(codec);
        if (!video_stream || !video) return fail("out of memory", error);
        AVRational rate = av_d2q(fps, 100000);
        video->width = width;
        video->height = height;
        video->time_base = av_inv_q(rate);
        video->framerate = rate;
        video->pix_fmt = AV_PIX_FMT_YUV420P;
        video->gop_size = std::max(1, int(std::lround(fps * 2)));
        video->thread_count = 2;
        if (format->oformat->flags & AVFMT_GLOBALHEADER) video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        AVDictionary* options = nullptr;
        if (codec_name == "libx264") {
            // A panel is mostly still: the fastest preset keeps it sharp at
            // a modest size.
            av_dict_set(&options, "preset", "ultrafast", 0);
            av_dict_set(&options, "crf", "23", 0);
        } else {
            video->bit_rate = int64_t(width) * height * 4;
        }
        int rc = avcodec_open2(video, codec, &options);
        av_dict_free(&options);
        if (rc < 0) return fail("cannot open the " + codec_name + " encoder: " + av_text(rc), error);
        rc = avcodec_parameters_from_context(video_stream->codecpar, video);
        if (rc < 0) return fail("cannot set the video stream: " + av_text(rc), error);
        video_stream->time_base = video->time_base;
        picture = av_frame_alloc();
        if (!picture) return fail("out of memory", error);
        picture->format = video->pix_fmt;
        picture->width = width;
        picture->height = height;
        rc = av_frame_get_buffer(picture, 0);
        if (rc < 0) return fail("cannot allocate a frame: " + av_text(rc), error);
        convert = sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_YUV420P, SWS_POINT, nullptr,
                                 nullptr, nullptr);
        if (!convert) return fail("cannot convert RGBA to YUV", error);
        return true;
    }

    bool open_audio(int sample_rate, std::string* error) {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!codec) return fail("no AAC sound encoder in this FFmpeg", error);
        audio_stream = avformat_new_stream(format, nullptr);
        audio = avcodec_alloc_context3(codec);
        if (!audio_stream || !audio) return fail("out of memory", error);
        audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        audio->sample_rate = sample_rate;
        av_channel_layout_default(&audio->ch_layout, 1);
        audio->bit_rate = 64000;
        audio->time_base = {1, sample_rate};
        if (format->oformat->flags & AVFMT_GLOBALHEADER) audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        int rc = avcodec_open2(audio, codec, nullptr);
        if (rc < 0) return fail("cannot open the AAC encoder: " + av_text(rc), error);
        rc = avcodec_parameters_from_context(audio_stream->codecpar, audio);
        if (rc < 0) return fail("cannot set the sound stream: " + av_text(rc), error);
        audio_stream->time_base = audio->time_base;
        sound = av_frame_alloc();
        if (!sound) return fail("out of memory", error);
        sound->format = audio->sample_fmt;
        sound->sample_rate = sample_rate;
        sound->nb_samples = audio->frame_size > 0 ? audio->frame_size : 1024;
        av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout);
        rc = av_frame_get_buffer(sound, 0);
        if (rc < 0) return fail("cannot allocate a sound frame: " + av_text(rc), error);
        return true;
    }

    // Encodes the pending sound in whole encoder frames; at the end, the
    // rest padded with silence.
    bool drain_sound(bool at_end, std::string* error) {
        size_t frame = size_t(sound->nb_samples);
        size_t used = 0;
        while (pending.size() - used >= frame || (at_end && pending.size() > used)) {
            int rc = av_frame_make_writable(sound);
            if (rc < 0) return fail("cannot encode sound: " + av_text(rc), error);
            float* out = reinterpret_cast<float*>(sound->data[0]);
            size_t n = std::min(frame, pending.size() - used);
            std::copy(pending.begin() + ptrdiff_t(used), pending.begin() + ptrdiff_t(used + n), out);
            std::fill(out + n, out + frame, 0.0f);
            sound->pts = next_sample;
            next_sample += int64_t(frame);
            used += n;
            if (!encode(audio, audio_stream, sound, error)) return false;
        }
        pending.erase(pending.begin(), pending.begin() + ptrdiff_t(used));
        return true;
    }
};

VideoExport::VideoExport() : s_(std::make_unique<State>()) {}
VideoExport::~VideoExport() = default;

int64_t VideoExport::frames() const { return s_->next_frame; }
std::string VideoExport::video_codec() const { return s_->codec_name; }

bool VideoExport::open(const std::string& path, const std::string& name, int width, int height, double fps, bool sound,
                       int sample_rate, std::string* error) {
    State& s = *s_;
    av_log_set_level(AV_LOG_ERROR);  // the encoders' chatter is not the previewer's output
    s.name = name;
    s.width = width & ~1;
    s.height = height & ~1;
    if (s.width < 2 || s.height < 2) return s.fail("the panel is too small for a video", error);
    if (!(fps > 0)) return s.fail("the frame rate must be above 0", error);
    const AVOutputFormat* container = av_guess_format(nullptr, name.c_str(), nullptr);
    if (!container) return s.fail("no video container for this file name (try .mp4 or .mkv)", error);
    int rc = avformat_alloc_output_context2(&s.format, container, nullptr, path.c_str());
    if (rc < 0 || !s.format) return s.fail("cannot start the container: " + av_text(rc), error);
    s.packet = av_packet_alloc();
    if (!s.packet) return s.fail("out of memory", error);
    if (!s.open_video(fps, error)) return false;
    if (sound && !s.open_audio(sample_rate, error)) return false;
    rc = avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) return s.fail("cannot open for writing: " + av_text(rc), error);
    s.file_open = true;
    rc = avformat_write_header(s.format, nullptr);
    if (rc < 0) return s.fail("cannot write the header: " + av_text(rc), error);
    s.header_written = true;
    return true;
}

bool VideoExport::add_frame(const Image& screen, bool same_as_last, std::string* error) {
    State& s = *s_;
    if (!s.header_written) return s.fail("the video is not open", error);
    if (screen.width < s.width || screen.height < s.height) return s.fail("a frame smaller than the video", error);
    if (!same_as_last || s.next_frame == 0) {
        int rc = av_frame_make_writable(s.picture);
        if (rc < 0) return s.fail("cannot encode: " + av_text(rc), error);
        const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(screen.pixels.data())};
        int stride[1] = {screen.width * 4};
        sws_scale(s.convert, source, stride, 0, s.height, s.picture->data, s.picture->linesize);
    }
    s.picture->pts = s.next_frame++;
    return s.encode(s.video, s.video_stream, s.picture, error);
}

bool VideoExport::add_sound(const int16_t* samples, size_t count, std::string* error) {
    State& s = *s_;
    if (!s.audio) return true;
    for (size_t i = 0; i < count; ++i) s.pending.push_back(samples[i] / 32768.0f);
    return s.drain_sound(false, error);
}

bool VideoExport::finish(std::string* error) {
    State& s = *s_;
    if (!s.header_written) return s.fail("the video is not open", error);
    if (s.audio && (!s.drain_sound(true, error) || !s.encode(s.audio, s.audio_stream, nullptr, error))) return false;
    if (!s.encode(s.video, s.video_stream, nullptr, error)) return false;
    int rc = av_write_trailer(s.format);
    if (rc < 0) return s.fail("cannot finish the file: " + av_text(rc), error);
    avio_flush(s.format->pb);
    if (s.format->pb->error < 0) return s.fail("cannot write: " + av_text(s.format->pb->error), error);
    s.file_open = false;
    rc = avio_closep(&s.format->pb);
    if (rc < 0) return s.fail("cannot write: " + av_text(rc), error);
    return true;
}

}  // namespace sim
