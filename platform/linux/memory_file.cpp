// Multimedia file I/O over a memory file: RIFF chunks of a wave image held
// in memory. Every read and every chunk is bounded by the memory given at
// open: a chunk that claims to run past its end is not found, and a read
// never goes beyond it.
#include <cstring>

#include "platform/linux/sound_layer.h"

namespace sound_layer {

struct MemoryFile {
    const uint8_t* bytes = nullptr;
    uint64_t size = 0;
    uint64_t position = 0;
    FOURCC chunk = 0;  // the chunk last descended into, for fault injection
    bool closed = false;
};

void Free::operator()(MemoryFile* file) const { delete file; }

namespace {

MemoryFile* open_file(HMMIO handle, const char* call) {
    count_call();
    for (auto& f : state().memory_files)
        if (reinterpret_cast<HMMIO>(f.get()) == handle) {
            if (f->closed) note_misuse(std::string(call) + " on a closed memory file");
            return f->closed ? nullptr : f.get();
        }
    note_misuse(std::string(call) + " with a handle that is no memory file");
    return nullptr;
}

uint32_t word_at(const MemoryFile& f, uint64_t at) {
    uint32_t w;
    std::memcpy(&w, f.bytes + at, 4);
    return w;
}

// The step a failure of this descend stands for.
Step descend_step(FOURCC id, UINT flags) {
    if (flags & MMIO_FINDRIFF) return Step::FindRiffWave;
    if (id == mmioFOURCC('f', 'm', 't', ' ')) return Step::FindFormat;
    if (id == mmioFOURCC('d', 'a', 't', 'a')) return Step::FindData;
    return Step::Count;
}

}  // namespace

void reset_memory_files() { state().memory_files.clear(); }

}  // namespace sound_layer

using namespace sound_layer;

extern "C" HMMIO mmioOpenA(LPSTR file_name, LPMMIOINFO info, DWORD flags) {
    count_call();
    if (info) info->wErrorRet = 0;
    auto refuse = [&](UINT error) -> HMMIO {
        if (info) info->wErrorRet = error;
        return nullptr;
    };
    if (step_fails(Step::OpenMemoryFile)) return refuse(MMIOERR_CANNOTOPEN);
    // Only memory files live here: no name, the memory procedure, a buffer.
    if (file_name || !info || info->fccIOProc != FOURCC_MEM || !info->pchBuffer || info->cchBuffer <= 0)
        return refuse(MMIOERR_CANNOTOPEN);
    if (flags & ~DWORD(MMIO_ALLOCBUF | MMIO_READWRITE | MMIO_WRITE)) return refuse(MMSYSERR_INVALPARAM);
    Owned<MemoryFile> file(new MemoryFile);
    file->bytes = reinterpret_cast<const uint8_t*>(info->pchBuffer);
    file->size = uint64_t(info->cchBuffer);
    HMMIO handle = reinterpret_cast<HMMIO>(file.get());
    info->hmmio = handle;
    state().memory_files.push_back(std::move(file));
    return handle;
}

extern "C" MMRESULT mmioDescend(HMMIO handle, LPMMCKINFO chunk, const MMCKINFO* parent, UINT flags) {
    MemoryFile* f = open_file(handle, "mmioDescend");
    if (!f) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;
    const FOURCC wanted_id = chunk->ckid;
    const FOURCC wanted_type = chunk->fccType;
    if (step_fails(descend_step(wanted_id, flags))) return MMIOERR_CHUNKNOTFOUND;

    uint64_t end = f->size;
    if (parent) {
        uint64_t parent_end = uint64_t(parent->dwDataOffset) + parent->cksize;
        if (parent_end < end) end = parent_end;
    }
    uint64_t at = f->position;
    while (at + 8 <= end) {
        const FOURCC id = word_at(*f, at);
        const uint32_t size = word_at(*f, at + 4);
        const uint64_t data = at + 8;
        // A chunk that runs past the end of the memory is broken, and so is
        // everything after it.
        if (data + size > f->size) return MMIOERR_CHUNKNOTFOUND;
        const bool has_type = id == FOURCC_RIFF || id == FOURCC_LIST;
        const FOURCC type = has_type && size >= 4 ? word_at(*f, data) : 0;
        bool match;
        if (flags & MMIO_FINDRIFF)
            match = id == FOURCC_RIFF && size >= 4 && type == wanted_type;
        else if (flags & MMIO_FINDLIST)
            match = id == FOURCC_LIST && size >= 4 && type == wanted_type;
        else if (flags & MMIO_FINDCHUNK)
            match = id == wanted_id;
        else
            match = true;
        if (match) {
            chunk->ckid = id;
            chunk->cksize = size;
            chunk->fccType = has_type ? type : 0;
            chunk->dwDataOffset = DWORD(data);
            chunk->dwFlags = 0;
            f->position = has_type && size >= 4 ? data + 4 : data;
            f->chunk = id;
            return MMSYSERR_NOERROR;
        }
        at = data + size + (size & 1);
    }
    return MMIOERR_CHUNKNOTFOUND;
}

extern "C" LONG mmioRead(HMMIO handle, HPSTR data, LONG bytes) {
    MemoryFile* f = open_file(handle, "mmioRead");
    if (!f || !data || bytes < 0) return -1;
    uint64_t left = f->position < f->size ? f->size - f->position : 0;
    uint64_t n = uint64_t(bytes) < left ? uint64_t(bytes) : left;
    const FOURCC fmt = mmioFOURCC('f', 'm', 't', ' ');
    const FOURCC sound = mmioFOURCC('d', 'a', 't', 'a');
    Step step = f->chunk == fmt ? Step::ReadFormat : f->chunk == sound ? Step::ReadData : Step::Count;
    if (step_fails(step)) n /= 2;
    std::memcpy(data, f->bytes + f->position, size_t(n));
    f->position += n;
    return LONG(n);
}

extern "C" MMRESULT mmioAscend(HMMIO handle, LPMMCKINFO chunk, UINT) {
    MemoryFile* f = open_file(handle, "mmioAscend");
    if (!f) return MMSYSERR_INVALHANDLE;
    if (!chunk) return MMSYSERR_INVALPARAM;
    uint64_t after = uint64_t(chunk->dwDataOffset) + chunk->cksize + (chunk->cksize & 1);
    if (chunk->dwDataOffset > f->size) return MMIOERR_CANNOTSEEK;
    f->position = after < f->size ? after : f->size;
    f->chunk = 0;
    return MMSYSERR_NOERROR;
}

extern "C" MMRESULT mmioClose(HMMIO handle, UINT) {
    MemoryFile* f = open_file(handle, "mmioClose");
    if (!f) return MMSYSERR_INVALHANDLE;
    f->closed = true;
    return MMSYSERR_NOERROR;
}

namespace sound_layer {

int live_memory_files() {
    int n = 0;
    for (auto& f : state().memory_files)
        if (!f->closed) ++n;
    return n;
}

}  // namespace sound_layer
