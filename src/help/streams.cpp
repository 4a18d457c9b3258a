// Streams: the stream base with its chunked copy, streams on files of the file
// layer (temporary copies among them) and entry streams.
#include <cstring>
#include <memory>
#include <new>

#include "help/tagfile.h"

namespace kelmard {

namespace {
// Copies go in large pieces (few calls into the file layer); when even one
// piece cannot be had, in small ones on the stack.
constexpr uint32_t kCopyChunk = 1024 * 1024;
constexpr uint32_t kSmallCopyChunk = 1024;

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
    if (!source) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!Fits32(destination, size) || !Fits32(sourcePosition, size))
        return Fail(FXFILE_ERROR_INVALID_OFFSET);
    uint32_t chunk = size < kCopyChunk ? size : kCopyChunk;
    unsigned char small[kSmallCopyChunk];
    unsigned char* buffer = small;
    std::unique_ptr<unsigned char[]> large;
    if (chunk > kSmallCopyChunk) {
        large.reset(new (std::nothrow) unsigned char[chunk]);
        if (large)
            buffer = large.get();
        else
            chunk = kSmallCopyChunk;
    }
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
// FxFileStream and FxTempStream

uint32_t FxFileStream::ReadAt(uint32_t position, void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!file_) return Fail(FXFILE_ERROR_TMP_FILE);
    uint32_t n = 0;
    if (!Files().ReadAt(file_.get(), position, buffer, size, n)) return Fail(FXFILE_ERROR_READ_FILE);
    position_ = position + n;
    return n;
}

uint32_t FxFileStream::WriteAt(uint32_t position, const void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!file_) return Fail(FXFILE_ERROR_TMP_FILE);
    if (!Fits32(position, size)) return Fail(FXFILE_ERROR_INVALID_OFFSET);
    uint32_t n = 0;
    if (!Files().WriteAt(file_.get(), position, buffer, size, n)) error_ = FXFILE_ERROR_WRITE_FILE;
    position_ = position + n;  // a failed write may still have put some bytes down
    if (position + n > size_) size_ = position + n;
    return n;
}

FxTempStream::FxTempStream() {
    LayerFile file(Files().CreateTemporary());
    uint64_t size = 0;
    if (!file || !Files().Size(file.get(), size) || size > 0xFFFFFFFFull) {
        error_ = FXFILE_ERROR_TMP_FILE;
        return;
    }
    file_ = std::move(file);
    size_ = static_cast<uint32_t>(size);
}

// ---------------------------------------------------------------------------
// FxTagStream

FxTagStream::~FxTagStream() {
    // A stream dropped while open would keep its container from ever finishing.
    if (source_) Close();
}

int FxTagStream::Open(FxTagFileBase* container, uint32_t index, int forWriting) {
    error_ = FXFILE_ERROR_NONE;
    if (source_) return Fail(FXFILE_ERROR_LINKED);  // close the entry that is open first
    if (!container) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    writable_ = forWriting ? 1 : 0;
    FxStream* data = nullptr;
    if (!container->OpenEntry(index, &entry_, &data, writable_)) return Fail(container->GetError());
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
    if (source_) return Fail(FXFILE_ERROR_LINKED);
    if (!container) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    std::unique_ptr<FxTempStream> copy(NewTempStream());
    if (!copy) return Fail(FXFILE_ERROR_TMP_FILE);
    FxStream* data = nullptr;
    const int32_t index = container->CreateEntry(tag, &data);
    if (index < 0) return Fail(container->GetError());
    copy_ = std::move(copy);
    writable_ = 1;
    container_ = container;
    containerData_ = data;
    entry_ = FxTagEntry{};
    entry_.tag = tag;
    index_ = static_cast<uint32_t>(index);
    source_ = copy_.get();
    modified_ = 1;
    position_ = 0;
    return 1;
}

int FxTagStream::Close() {
    error_ = FXFILE_ERROR_NONE;
    if (!source_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    FxTagFileBase* container = container_;
    // Stored first, so that a failure keeps the entry open, with its copy.
    if (modified_ && !container->StoreEntry(index_, &entry_, copy_.get()))
        return Fail(container->GetError());
    const int ok = container->CloseEntry(index_, &entry_, nullptr, 0);
    source_ = nullptr;
    containerData_ = nullptr;
    container_ = nullptr;
    index_ = kFxNoIndex;
    copy_.reset();
    modified_ = 0;
    return ok ? 1 : Fail(container->GetError());
}

FxTempStream* FxTagStream::NewTempStream() {
    std::unique_ptr<FxTempStream> stream(new (std::nothrow) FxTempStream());
    // A stream without its file is of no use to anyone.
    return stream && stream->IsOpen() ? stream.release() : nullptr;
}

uint32_t FxTagStream::ReadAt(uint32_t position, void* buffer, uint32_t size) {
    error_ = FXFILE_ERROR_NONE;
    if (!source_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (static_cast<uint64_t>(position) + size > entry_.size) {
        if (position > entry_.size) return Fail(FXFILE_ERROR_INVALID_OFFSET);
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
    if (!source_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!writable_) return Fail(FXFILE_ERROR_READ_ONLY);
    if (!copy_) {
        // The first write: the entry moves into a private copy.
        std::unique_ptr<FxTempStream> copy(NewTempStream());
        if (!copy || copy->CopyFrom(0, source_, entry_.offset, entry_.size) != entry_.size)
            return Fail(FXFILE_ERROR_TMP_FILE);
        copy_ = std::move(copy);
        entry_.offset = 0;
        source_ = copy_.get();
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
    if (!source_) return Fail(FXFILE_ERROR_NOT_INITIALIZED);
    if (!writable_) return Fail(FXFILE_ERROR_READ_ONLY);
    if (i >= 4) return Fail(FXFILE_ERROR_INDEX_INVALID);
    entry_.attribute[i] = value;
    modified_ = 1;
    return 1;
}

}  // namespace kelmard
