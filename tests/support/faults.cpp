#include "faults.h"

#include <utility>

vardane::test::PlantedFaults vardane::test::faults;

namespace vardane::system {
namespace {

using test::faults;

// Whether a planned fault of this kind is due now, counting it off.
bool due(int& planned)
{
    return planned > 0 && planned-- > 0;
}

class PlantedFile final : public File {
public:
    explicit PlantedFile(std::unique_ptr<File> file) : file_(std::move(file)) {}

    [[nodiscard]] Result<std::int64_t> size() const override { return file_->size(); }
    [[nodiscard]] Result<FileIdentity> identity() const override { return file_->identity(); }

    [[nodiscard]] Result<std::size_t> readAt(std::int64_t offset, std::span<std::uint8_t> into) override
    {
        if (due(faults.interruptedReads)) {
            return tl::unexpected(Failure::interrupted);
        }
        const auto got = file_->readAt(offset, due(faults.shortReads) ? into.first(1) : into);
        if (faults.afterNextRead) {
            std::exchange(faults.afterNextRead, nullptr)();
        }
        return got;
    }

    [[nodiscard]] Result<std::size_t> writeAt(std::int64_t offset,
                                              std::span<const std::uint8_t> bytes) override
    {
        if (!due(faults.writesBeforeFailure) && due(faults.failedWrites)) {
            return tl::unexpected(faults.writeFailure);
        }
        return file_->writeAt(offset, due(faults.shortWrites) ? bytes.first(1) : bytes);
    }

    [[nodiscard]] Result<> flush() override
    {
        if (due(faults.failedFlushes)) {
            return tl::unexpected(Failure::other);
        }
        const auto flushed = file_->flush();
        if (faults.afterNextFlush) {
            std::exchange(faults.afterNextFlush, nullptr)();
        }
        return flushed;
    }

    [[nodiscard]] Result<> lock(LockKind kind, std::chrono::milliseconds patience) override
    {
        return file_->lock(kind, faults.lockPatience.value_or(patience));
    }

private:
    std::unique_ptr<File> file_;
};

}  // namespace

Result<std::unique_ptr<File>> openFile(const std::filesystem::path& path, Access access)
{
    if (due(faults.refusedOpens)) {
        return tl::unexpected(Failure::denied);
    }
    auto file = openNativeFile(path, access);
    if (!file) {
        return tl::unexpected(file.error());
    }
    return std::make_unique<PlantedFile>(std::move(*file));
}

}  // namespace vardane::system
