#include "filters/PlotReader.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Maps a regular file for reading; anything else (a folder, a device, a pipe) is not a plot file.
class MappedFile {
public:
    explicit MappedFile(const char* path)
    {
        int fd = open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat info {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
            void* mapped = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) {
                data_ = static_cast<const unsigned char*>(mapped);
                size_ = static_cast<size_t>(info.st_size);
                madvise(mapped, size_, MADV_SEQUENTIAL);
            }
        }
        close(fd);
    }
    ~MappedFile()
    {
        if (data_ != nullptr)
            munmap(const_cast<unsigned char*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    const unsigned char* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace

// The filter's one entry point: the plot file at `path` as a plot block in millimetres, `scale` being
// the millimetres per plotter unit; null when the file cannot be read or holds no drawing.
extern "C" __attribute__((visibility("default"))) void* NFilterRead(const char* path, float scale, uint32_t reserved)
{
    (void)reserved;
    if (path == nullptr)
        return nullptr;
    MappedFile file(path);
    return hpgl::readPlot(file.data(), file.size(), scale);
}
