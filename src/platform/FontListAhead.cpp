#include "FontListAhead.h"

namespace {
std::future<FcConfig*>& reading()
{
    static std::future<FcConfig*> read;
    return read;
}
} // namespace

std::packaged_task<void()> FontListAhead::start(Reading read)
{
    std::packaged_task<FcConfig*()> job(read);
    reading() = job.get_future();
    return std::packaged_task<void()>([job = std::move(job)]() mutable { job(); });
}

FcConfig* FontListAhead::take(Reading read)
{
    try {
        return reading().valid() ? reading().get() : read();
    } catch (const std::future_error&) {
        return read();
    }
}
