// The previewer's sound track: what the modules played during the run,
// mixed by our sound layer at each buffer's volume, written out as a mono
// 16-bit WAV file cycle by cycle.
#include <cstring>

#include "preview/preview_support.h"
#include "preview/staged_outputs.h"
#include "platform/linux/sound_inspect.h"

namespace sim {

namespace {

void put_le(uint8_t* at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = uint8_t((v >> (8 * i)) & 0xFF);
}

// The 44-byte header of a PCM wave file holding `data_bytes` of samples.
std::vector<uint8_t> wave_header(uint32_t data_bytes) {
    std::vector<uint8_t> h(44);
    std::memcpy(&h[0], "RIFF", 4);
    put_le(&h[4], 36 + data_bytes, 4);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    put_le(&h[16], 16, 4);
    put_le(&h[20], 1, 2);  // PCM
    put_le(&h[22], 1, 2);  // mono
    put_le(&h[24], sound_inspect::TRACK_RATE, 4);
    put_le(&h[28], sound_inspect::TRACK_RATE * 2, 4);
    put_le(&h[32], 2, 2);
    put_le(&h[34], 16, 2);
    std::memcpy(&h[36], "data", 4);
    put_le(&h[40], data_bytes, 4);
    return h;
}

}  // namespace

struct SoundTrackStream::State {
    CheckedFile file;
    uint64_t samples = 0;
    uint64_t played_before = 0;
    std::vector<int16_t> taken;
    std::vector<uint8_t> bytes;
};

SoundTrackStream::~SoundTrackStream() { delete s_; }

bool SoundTrackStream::open(const std::string& path, const std::string& name, std::string* error) {
    delete s_;
    s_ = new State;
    s_->played_before = sound_inspect::played_total();
    if (!s_->file.open(path, name, error)) return false;
    std::vector<uint8_t> header = wave_header(0);
    s_->file.write(header.data(), header.size());
    return true;
}

const std::vector<int16_t>& SoundTrackStream::take() {
    s_->taken = sound_inspect::take_track();
    s_->bytes.resize(s_->taken.size() * 2);
    for (size_t i = 0; i < s_->taken.size(); ++i) put_le(&s_->bytes[2 * i], uint16_t(s_->taken[i]), 2);
    s_->file.write(s_->bytes.data(), s_->bytes.size());
    s_->samples += s_->taken.size();
    return s_->taken;
}

bool SoundTrackStream::finish(std::string* error) {
    take();
    std::vector<uint8_t> header = wave_header(uint32_t(s_->samples * 2));
    s_->file.write_at(0, header.data(), header.size());
    return s_->file.close(error);
}

double SoundTrackStream::seconds() const { return s_ ? double(s_->samples) / sound_inspect::TRACK_RATE : 0; }

bool SoundTrackStream::anything_played() const {
    return s_ && sound_inspect::played_total() > s_->played_before;
}

}  // namespace sim
