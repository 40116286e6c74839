#include "filters/PlotReader.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Plot files beyond this size are refused: their drawing could not fit the block either.
constexpr size_t kMaxFileBytes = size_t{1} << 30;
constexpr uintptr_t kLargePage = 2 * 1024 * 1024;

// The whole file read into memory, whose large pages are given back as soon as they have been read,
// so that the block written meanwhile can take them up: pages the system hands out afresh cost much
// more on a virtual machine than pages it has just had back. Reading it (rather than mapping it) keeps the
// filter safe from a writer that shortens the file while it is read: what was there is read, nothing faults.
// Anything but a regular file (a folder, a device, a pipe) is not a plot file.
class FileContents : public hpgl::ReadProgress {
public:
    explicit FileContents(const char* path)
    {
        int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat info {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
            static_cast<uint64_t>(info.st_size) <= kMaxFileBytes) {
            posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
            readAll(fd, static_cast<size_t>(info.st_size));
        }
        close(fd);
    }
    ~FileContents() override
    {
        if (data_ != nullptr)
            munmap(data_, capacity_);
    }
    FileContents(const FileContents&) = delete;
    FileContents& operator=(const FileContents&) = delete;

    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

    void readUpTo(size_t offset) override
    {
        const auto start = reinterpret_cast<uintptr_t>(data_);
        const uintptr_t from = (start + released_ + kLargePage - 1) & ~(kLargePage - 1);
        const uintptr_t to = (start + offset) & ~(kLargePage - 1);
        if (to <= from)
            return;
        // NOLINTNEXTLINE(performance-no-int-to-ptr): madvise takes the page address
        madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
        released_ = to - start;
    }

private:
    void readAll(int fd, size_t expected)
    {
        // Large pages spare the program a page fault for every 4 KiB of a large file.
        void* memory = mmap(nullptr, expected, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED)
            return;
        madvise(memory, expected, MADV_HUGEPAGE);
        data_ = static_cast<unsigned char*>(memory);
        capacity_ = expected;
        while (size_ < expected) {
            ssize_t n = read(fd, data_ + size_, expected - size_);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the file ended early or could not be read further: keep what came
            size_ += static_cast<size_t>(n);
        }
    }

    unsigned char* data_ = nullptr;
    size_t capacity_ = 0;
    size_t size_ = 0;
    size_t released_ = 0; // the pages below this offset have been given back
};

} // namespace

// The filter's one entry point: the plot file at `path` as a plot block in millimetres, `scale` being
// the millimetres per plotter unit; null when the file cannot be read or holds no drawing.
extern "C" __attribute__((visibility("default"))) void* NFilterRead(const char* path, float scale,
                                                                    uint32_t reserved)
{
    (void)reserved;
    if (path == nullptr)
        return nullptr;
    FileContents file(path);
    return hpgl::readPlot(file.data(), file.size(), scale, &file);
}
