// Streams: the stream base with its chunked copy, temporary-file streams and
// entry streams.
#include <cstring>
#include <new>

#include "help/tagfile.h"
#include "help/tagfile_detail.h"

namespace kelmard {
using detail::kUnknownPosition;
using detail::SeekTo;

namespace {
constexpr uint32_t kCopyChunk = 1024;

// position + size must stay inside the 32-bit range of stream positions.
bool Fits32(uint32_t position, uint32_t size) {
    return static_cast<uint64_t>(position) + size <= 0xFFFFFFFFull;
}
}  // namespace

// ---------------------------------------------------------------------------
// FxStream

FxStream::~FxStream() = default;

uint32_t FxStream::Read(void* buffer, uint32_t size) { return ReadAt(position_, buffer, size); }

uint32_t FxStream::Write(const void* buffer, uint32_t size) {
    return WriteAt(position_, buffer, size);
}

uint32_t FxStream::CopyFrom(uint32_t destination, FxStream* source, uint32_t sourcePosition,
                            uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (size == 0) return 0;
    if (!source) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    if (!Fits32(destination, size) || !Fits32(sourcePosition, size)) {
        error_ = FXFILE_ERROR_INVALID_OFFSET;
        return 0;
    }
    unsigned char buffer[kCopyChunk];
    uint32_t chunk = size < kCopyChunk ? size : kCopyChunk;
    uint32_t done = 0;
    for (;;) {
        const uint32_t n = source->ReadAt(sourcePosition + done, buffer, chunk);
        const uint32_t w = n ? WriteAt(destination + done, buffer, n) : 0;
        size -= w;
        done += w;
        if (n != chunk) {
            error_ = source->GetError() ? source->GetError() : FXFILE_ERROR_READ_FILE;
            return done;
        }
        if (w != n) return done;  // this stream's own error stays
        if (size < chunk) chunk = size;
        if (chunk == 0) return done;
    }
}

// ---------------------------------------------------------------------------
// FxTempStream

FxTempStream::FxTempStream() : filePosition_(kUnknownPosition) {
    error_ = FXFILE_ERROR_TMP_FILE;
    file_ = Files().CreateTemporary();
    if (!file_) return;
    uint64_t size = 0;
    if (!Files().Size(file_, size) || size > 0xFFFFFFFFull) {
        Files().Close(file_);
        file_ = nullptr;
        return;
    }
    size_ = static_cast<uint32_t>(size);
    error_ = FXFILE_ERROR_NONE;
}

FxTempStream::~FxTempStream() {
    if (file_) Files().Close(file_);
}

uint32_t FxTempStream::ReadAt(uint32_t position, void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!file_) {
        error_ = FXFILE_ERROR_TMP_FILE;
        return 0;
    }
    if (!SeekTo(file_, position, filePosition_)) {
        error_ = FXFILE_ERROR_INVALID_OFFSET;
        return 0;
    }
    uint32_t n = 0;
    if (!Files().Read(file_, buffer, size, n)) {
        filePosition_ = kUnknownPosition;
        error_ = FXFILE_ERROR_READ_FILE;
        return 0;
    }
    filePosition_ = static_cast<uint64_t>(position) + n;
    position_ = position + n;
    return n;
}

uint32_t FxTempStream::WriteAt(uint32_t position, const void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!file_) {
        error_ = FXFILE_ERROR_TMP_FILE;
        return 0;
    }
    if (!Fits32(position, size)) {
        error_ = FXFILE_ERROR_INVALID_OFFSET;
        return 0;
    }
    if (!SeekTo(file_, position, filePosition_)) {
        error_ = FXFILE_ERROR_INVALID_OFFSET;
        return 0;
    }
    uint32_t n = 0;
    const bool ok = Files().Write(file_, buffer, size, n);
    if (!ok) {
        filePosition_ = kUnknownPosition;
        error_ = FXFILE_ERROR_WRITE_FILE;
    } else {
        filePosition_ = static_cast<uint64_t>(position) + n;
    }
    position_ = position + n;
    if (position + n > size_) size_ = position + n;
    return n;
}

// ---------------------------------------------------------------------------
// FxTagStream

FxTagStream::~FxTagStream() {
    // A stream dropped while open would keep its container from ever finishing.
    if (source_) Close();
    delete copy_;
}

int FxTagStream::Open(FxTagFileBase* container, uint32_t index, int forWriting) {
    error_ = FXFILE_ERROR_NONE;
    if (source_) {
        error_ = FXFILE_ERROR_LINKED;  // close the entry that is open first
        return 0;
    }
    if (!container) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    writable_ = forWriting ? 1 : 0;
    FxStream* data = nullptr;
    if (!container->OpenEntry(index, &entry_, &data, writable_)) {
        error_ = container->GetError();
        return 0;
    }
    container_ = container;
    containerData_ = data;
    source_ = data;
    index_ = index;
    modified_ = 0;
    position_ = 0;
    return 1;
}

int FxTagStream::Create(FxTagFileBase* container, uint32_t tag) {
    error_ = FXFILE_ERROR_NONE;
    if (source_) {
        error_ = FXFILE_ERROR_LINKED;
        return 0;
    }
    if (!container) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    FxTempStream* copy = NewTempStream();
    if (!copy) {
        error_ = FXFILE_ERROR_TMP_FILE;
        return 0;
    }
    FxStream* data = nullptr;
    const int32_t index = container->CreateEntry(tag, &data);
    if (index < 0) {
        delete copy;
        error_ = container->GetError();
        return 0;
    }
    delete copy_;
    copy_ = copy;
    writable_ = 1;
    container_ = container;
    containerData_ = data;
    entry_ = FxTagEntry{};
    entry_.tag = tag;
    index_ = static_cast<uint32_t>(index);
    source_ = copy_;
    modified_ = 1;
    position_ = 0;
    return 1;
}

int FxTagStream::Close() {
    error_ = FXFILE_ERROR_NONE;
    if (!source_) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    FxTagFileBase* container = container_;
    // Stored first, so that a failure keeps the entry open, with its copy.
    if (modified_ && !container->StoreEntry(index_, &entry_, copy_)) {
        error_ = container->GetError();
        return 0;
    }
    const int ok = container->CloseEntry(index_, &entry_, nullptr, 0);
    source_ = nullptr;
    containerData_ = nullptr;
    container_ = nullptr;
    index_ = kFxNoIndex;
    delete copy_;
    copy_ = nullptr;
    modified_ = 0;
    if (!ok) {
        error_ = container->GetError();
        return 0;
    }
    return 1;
}

FxTempStream* FxTagStream::NewTempStream() {
    FxTempStream* stream = new (std::nothrow) FxTempStream();
    if (stream && !stream->IsOpen()) {
        delete stream;  // a stream without its file is of no use to anyone
        stream = nullptr;
    }
    return stream;
}

uint32_t FxTagStream::ReadAt(uint32_t position, void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!source_) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    if (static_cast<uint64_t>(position) + size > entry_.size) {
        if (position > entry_.size) {
            error_ = FXFILE_ERROR_INVALID_OFFSET;
            return 0;
        }
        size = entry_.size - position;  // cut at the entry's end
    }
    // The entry lies inside its source (checked when the container opened, or
    // kept so by every write), so this position cannot wrap.
    const uint32_t n = source_->ReadAt(entry_.offset + position, buffer, size);
    position_ = position + n;
    if (n == 0) error_ = source_->GetError();
    return n;
}

uint32_t FxTagStream::WriteAt(uint32_t position, const void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!source_) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    if (!writable_) {
        error_ = FXFILE_ERROR_READ_ONLY;
        return 0;
    }
    if (!copy_) {
        // The first write: the entry moves into a private copy.
        FxTempStream* copy = NewTempStream();
        if (!copy) {
            error_ = FXFILE_ERROR_TMP_FILE;
            return 0;
        }
        if (copy->CopyFrom(0, source_, entry_.offset, entry_.size) != entry_.size) {
            delete copy;
            error_ = FXFILE_ERROR_TMP_FILE;
            return 0;
        }
        copy_ = copy;
        entry_.offset = 0;
        source_ = copy_;
        modified_ = 1;
    }
    const uint32_t w = source_->WriteAt(position, buffer, size);
    entry_.size = source_->GetSize();
    position_ = position + w;
    if (w == 0) error_ = source_->GetError();
    return w;
}

int FxTagStream::SetAttribute(unsigned i, uint32_t value) {
    error_ = FXFILE_ERROR_NONE;
    if (!source_) {
        error_ = FXFILE_ERROR_NOT_INITIALIZED;
        return 0;
    }
    if (!writable_) {
        error_ = FXFILE_ERROR_READ_ONLY;
        return 0;
    }
    if (i >= 4) {
        error_ = FXFILE_ERROR_INDEX_INVALID;
        return 0;
    }
    entry_.attribute[i] = value;
    modified_ = 1;
    return 1;
}

}  // namespace kelmard
