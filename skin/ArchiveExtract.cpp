#include "skin/ArchiveExtract.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "7z.h"
#include "7zCrc.h"
#include "common/log.h"
#include "utility/FileWriter.h"
#include "utility/ufile.h"

namespace DuiLib {
namespace {

// The decoder reads through this seekable stream over the caller's block.
struct MemoryInStream {
    ISeekInStream vt;
    const Byte* data;
    size_t size;
    size_t pos;
};

MemoryInStream* asMemoryStream(ISeekInStreamPtr p) {
    return const_cast<MemoryInStream*>(reinterpret_cast<const MemoryInStream*>(p));
}

SRes memoryRead(ISeekInStreamPtr p, void* buf, size_t* size) {
    MemoryInStream* s = asMemoryStream(p);
    size_t n = s->size - s->pos;
    if (*size < n) n = *size;
    if (n) std::memcpy(buf, s->data + s->pos, n);
    s->pos += n;
    *size = n;
    return SZ_OK;
}

SRes memorySeek(ISeekInStreamPtr p, Int64* pos, ESzSeek origin) {
    MemoryInStream* s = asMemoryStream(p);
    Int64 base = 0;
    if (origin == SZ_SEEK_CUR) base = static_cast<Int64>(s->pos);
    if (origin == SZ_SEEK_END) base = static_cast<Int64>(s->size);
    Int64 target = base + *pos;
    if (target < 0) return SZ_ERROR_PARAM;
    s->pos = static_cast<UInt64>(target) > s->size ? s->size : static_cast<size_t>(target);
    *pos = static_cast<Int64>(s->pos);
    return SZ_OK;
}

void* heapAlloc(ISzAllocPtr, size_t size) {
    return size ? std::malloc(size) : nullptr;
}
void heapFree(ISzAllocPtr, void* address) {
    std::free(address);
}
const ISzAlloc kHeap = {heapAlloc, heapFree};

const size_t kLookBufferSize = 1 << 16;

// One open archive plus the decoder's solid-block cache, which is kept
// across the members of a block and freed once.
class OpenArchive {
public:
    OpenArchive(const void* data, size_t size) : lookBuffer_(kLookBufferSize) {
        stream_.vt.Read = memoryRead;
        stream_.vt.Seek = memorySeek;
        stream_.data = static_cast<const Byte*>(data);
        stream_.size = data ? size : 0;
        stream_.pos = 0;
        LookToRead2_CreateVTable(&look_, False);
        look_.buf = lookBuffer_.data();
        look_.bufSize = lookBuffer_.size();
        look_.realStream = &stream_.vt;
        LookToRead2_INIT(&look_);
        SzArEx_Init(&db_);
    }
    ~OpenArchive() {
        dropBlock();
        SzArEx_Free(&db_, &kHeap);
    }
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;

    SRes open() {
        CrcGenerateTable();
        return SzArEx_Open(&db_, &look_.vt, &kHeap, &kHeap);
    }
    UInt32 count() const { return db_.NumFiles; }
    bool isDir(UInt32 i) const { return SzArEx_IsDir(&db_, i); }

    std::wstring name(UInt32 i) const {
        size_t len = SzArEx_GetFileNameUtf16(&db_, i, nullptr);
        std::vector<UInt16> buf(len + 1, 0);
        SzArEx_GetFileNameUtf16(&db_, i, buf.data());
        return std::wstring(buf.begin(), buf.begin() + (len ? len - 1 : 0));
    }

    // Decodes member i. On success, and also on a CRC mismatch of the member
    // or of its block, bytes and length describe the decoded member inside
    // the block cache.
    SRes extract(UInt32 i, const Byte** bytes, size_t* length) {
        size_t offset = 0;
        *length = 0;
        *bytes = nullptr;
        SRes res = SzArEx_Extract(&db_, &look_.vt, i, &blockIndex_, &block_, &blockSize_, &offset, length,
                                  &kHeap, &kHeap);
        if (res == SZ_ERROR_CRC && *length == 0) locateInFailedBlock(i, &offset, length);
        bool decoded = res == SZ_OK || (res == SZ_ERROR_CRC && *length != 0);
        if (!decoded) {
            *length = 0;
            dropBlock();  // a block that failed to decode must not be reused
            return res;
        }
        if (block_) *bytes = block_ + offset;
        return res;
    }

private:
    // The block decoded completely but its own checksum failed: the member's
    // bytes are in the cache all the same.
    void locateInFailedBlock(UInt32 i, size_t* offset, size_t* length) const {
        UInt32 folder = db_.FileToFolder[i];
        if (!block_ || folder != blockIndex_) return;
        UInt64 first = db_.UnpackPositions[db_.FolderToFile[folder]];
        UInt64 start = db_.UnpackPositions[i] - first;
        UInt64 size = SzArEx_GetFileSize(&db_, i);
        if (start + size > blockSize_) return;
        *offset = static_cast<size_t>(start);
        *length = static_cast<size_t>(size);
    }

    void dropBlock() {
        heapFree(&kHeap, block_);
        block_ = nullptr;
        blockSize_ = 0;
        blockIndex_ = 0xFFFFFFFF;
    }

    MemoryInStream stream_;
    CLookToRead2 look_;
    std::vector<Byte> lookBuffer_;
    CSzArEx db_;
    UInt32 blockIndex_ = 0xFFFFFFFF;
    Byte* block_ = nullptr;
    size_t blockSize_ = 0;
};

std::wstring withBackslashes(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring parentFolder(const std::wstring& path) {
    size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

// Folder creation failures are not errors here: the file open that follows
// reports them.
void makeFolder(const std::wstring& path) {
    if (!path.empty() && !utility::ufile::exists(path)) utility::ufile::makeDir(path);
}

bool writeWholeFile(const std::wstring& path, const Byte* bytes, size_t length) {
    utility::FileWriter file;
    if (!file.open(path)) return false;
    const size_t kChunk = 1 << 20;
    for (size_t done = 0; done < length; done += kChunk) {
        size_t n = length - done < kChunk ? length - done : kChunk;
        if (!file.write(bytes + done, n)) return false;
    }
    file.close();
    return true;
}

}  // namespace

bool isSafeMemberName(const std::wstring& name) {
    if (name.empty() || name[0] == L'/' || name[0] == L'\\') return false;
    if (name.find(L':') != std::wstring::npos) return false;  // drive letters and streams
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find_first_of(L"/\\", start);
        if (end == std::wstring::npos) end = name.size();
        std::wstring part = name.substr(start, end - start);
        // Windows drops trailing dots and blanks, so "... " is as bad as "..".
        bool onlyDots = !part.empty() && part.find_first_not_of(L". ") == std::wstring::npos;
        if (onlyDots && part != L".") return false;
        start = end + 1;
    }
    return true;
}

int extractArchiveToFolder(const void* archive, size_t size, const std::wstring& folder) {
    OpenArchive arc(archive, size);
    SRes res = arc.open();
    if (res != SZ_OK) return res;
    std::wstring base = withBackslashes(folder);
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    for (UInt32 i = 0; i < arc.count(); ++i) {
        std::wstring name = arc.name(i);
        if (!isSafeMemberName(name)) {
            OV_LOG("DuiLib::extractArchiveToFolder", L"refused member name %s", name.c_str());
            return kExtractUnsafeName;
        }
        std::wstring path = base + withBackslashes(name);
        if (arc.isDir(i)) {
            makeFolder(path);
            continue;
        }
        makeFolder(parentFolder(path));
        const Byte* bytes = nullptr;
        size_t length = 0;
        res = arc.extract(i, &bytes, &length);
        bool crcMismatch = res == SZ_ERROR_CRC && length != 0;
        if (res != SZ_OK && !crcMismatch) return res;
        if (!writeWholeFile(path, bytes, length)) return kExtractWriteError;
        if (res != SZ_OK) return res;  // the damaged file stays, as written
    }
    return kExtractOk;
}

int extractArchiveToMemory(const void* archive, size_t size, const ArchiveMemberSink& sink) {
    OpenArchive arc(archive, size);
    SRes res = arc.open();
    if (res != SZ_OK) return res;
    for (UInt32 i = 0; i < arc.count(); ++i) {
        if (arc.isDir(i)) continue;
        const Byte* bytes = nullptr;
        size_t length = 0;
        res = arc.extract(i, &bytes, &length);
        if (res != SZ_OK) return res;
        if (sink) sink(arc.name(i), bytes, length);
    }
    return kExtractOk;
}

}  // namespace DuiLib
