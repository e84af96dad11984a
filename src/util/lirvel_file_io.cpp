#include "util/lirvel_file_io.h"

#include "util/lirvel_errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int error)
{
    throw EFileError(what + " " + path + ": " + std::strerror(error));
}

class TFd
{
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    int Release()
    {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }

private:
    int FFd;
};

// Reads until the end or until more than maxSize bytes have come: a file that grows while it is
// read is not followed without bound.
void ReadAll(int fd, const std::string& path, std::string& content, std::uint64_t expected, std::uint64_t maxSize)
{
    content.clear();
    content.reserve(expected);
    char buffer[65536];
    while (content.size() <= maxSize) {
        // One byte more than the limit allows tells a file over the limit from one exactly at it.
        const std::uint64_t left = maxSize - content.size();
        const std::size_t room = left >= sizeof buffer ? sizeof buffer : static_cast<std::size_t>(left + 1);
        const ssize_t n = ::read(fd, buffer, room);
        if (n == 0)
            return;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail("Не удалось прочитать файл", path, errno);
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

std::string ReadWholeFile(const std::string& path)
{
    std::string content;
    ReadWholeFileLimited(path, UINT64_MAX, content);
    return content;
}

bool ReadWholeFileLimited(const std::string& path, std::uint64_t maxSize, std::string& content)
{
    content.clear();
    TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        Fail("Не удалось открыть файл", path, errno);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0)
        Fail("Не удалось прочитать файл", path, errno);
    if (S_ISDIR(st.st_mode))
        Fail("Не удалось прочитать файл", path, EISDIR);
    if (static_cast<std::uint64_t>(st.st_size) > maxSize)
        return false;
    ReadAll(fd.Get(), path, content, static_cast<std::uint64_t>(st.st_size), maxSize);
    if (content.size() > maxSize) {
        content.clear();
        return false;
    }
    return true;
}

void WriteFileAtomically(const std::string& path, const std::string& content)
{
    std::string temp = path + ".XXXXXX";
    TFd fd(::mkstemp(temp.data()));
    if (fd.Get() < 0)
        Fail("Не удалось создать файл", temp, errno);
    auto discard = [&](const char* what, int error) {
        ::unlink(temp.c_str());
        Fail(what, path, error);
    };
    // mkstemp creates the file for the owner only; a configuration file is as readable as any other.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.Get(), 0666 & ~mask);
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.Get(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            discard("Не удалось записать файл", errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd.Get()) != 0)
        discard("Не удалось записать файл", errno);
    if (::close(fd.Release()) != 0)
        discard("Не удалось записать файл", errno);
    if (::rename(temp.c_str(), path.c_str()) != 0)
        discard("Не удалось заменить файл", errno);
    // Make the rename itself durable.
    const std::string::size_type slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string(".") : path.substr(0, slash ? slash : 1);
    TFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.Get() >= 0)
        ::fsync(dirFd.Get());
}

bool PathExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0;
}
