#pragma once
// Ownership of one host file descriptor: whoever holds the UniqueFd closes
// it, on every path out, so no descriptor is closed by hand or twice.

namespace platform::posix {

class UniqueFd {
public:
    UniqueFd() = default;
    // Takes fd over; a negative fd (a failed open) holds nothing.
    explicit UniqueFd(int fd)
        : fd_(fd)
    {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept
        : fd_(other.release())
    {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }

    // Gives the descriptor up without closing it; the caller owns it.
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    // Closes what is held and takes fd over. Returns false when the close
    // reported an error (the descriptor is gone all the same): a writer
    // whose data must have reached the file checks it.
    bool reset(int fd = -1);

private:
    int fd_ = -1;
};

} // namespace platform::posix
