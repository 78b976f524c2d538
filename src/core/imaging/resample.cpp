// Built with -ffp-contract=off: every product and every sum is rounded to a 32-bit float on
// its own, as the weights and sums are defined.
#include "core/imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <mutex>
#include <numbers>
#include <stdexcept>
#include <thread>

#include "core/imaging/resample_kernels.h"

namespace ambrel::imaging {
namespace {

// sin(pi x) / (pi x), with pi x rounded to a 32-bit float before the sine is taken.
float sinc(float x) {
    if (x == 0.0F) {
        return 1.0F;
    }
    const auto px =
        static_cast<float>(static_cast<long double>(x) * std::numbers::pi_v<long double>);
    return std::sin(px) / px;
}

}  // namespace

float BoxFilter(float x) {
    return x > -0.5F && x <= 0.5F ? 1.0F : 0.0F;
}

float TriangleFilter(float x) {
    const float a = std::fabs(x);
    return a < 1.0F ? 1.0F - a : 0.0F;
}

float HermiteFilter(float x) {
    const float a = std::fabs(x);
    return a < 1.0F ? (2.0F * a - 3.0F) * (a * a) + 1.0F : 0.0F;
}

float BellFilter(float x) {
    const float a = std::fabs(x);
    if (a < 0.5F) {
        return 0.75F - a * a;
    }
    if (a < 1.5F) {
        const float t = a - 1.5F;
        return 0.5F * (t * t);
    }
    return 0.0F;
}

float SplineFilter(float x) {
    const float a = std::fabs(x);
    if (a < 1.0F) {
        const float a2 = a * a;
        return 0.5F * (a2 * a) - a2 + 2.0F / 3.0F;
    }
    if (a < 2.0F) {
        const float t = 2.0F - a;
        return t * t * t / 6.0F;
    }
    return 0.0F;
}

float Lanczos3Filter(float x) {
    const float a = std::fabs(x);
    return a < 3.0F ? sinc(a) * sinc(a / 3.0F) : 0.0F;
}

float MitchellFilter(float x) {
    const float a = std::fabs(x);
    const float a2 = a * a;
    const float a3 = a2 * a;
    if (a < 1.0F) {
        return (7.0F * a3 - 12.0F * a2 + 16.0F / 3.0F) / 6.0F;
    }
    if (a < 2.0F) {
        return (-(7.0F / 3.0F) * a3 + 12.0F * a2 - 20.0F * a + 32.0F / 3.0F) / 6.0F;
    }
    return 0.0F;
}

const ResamplingFilter& filterByName(std::string_view name) {
    for (const ResamplingFilter& f : kResamplingFilters) {
        if (name == f.name) {
            return f;
        }
    }
    throw std::out_of_range("No resampling filter named " + std::string(name));
}

float scaleFactor(int sourceSize, int destinationSize) {
    if (sourceSize == 1) {
        return static_cast<float>(destinationSize) / static_cast<float>(sourceSize);
    }
    return static_cast<float>(destinationSize - 1) / static_cast<float>(sourceSize - 1);
}

int weightRoom(int sourceSize, int destinationSize, float support) {
    const float scale = scaleFactor(sourceSize, destinationSize);
    const float reach = scale < 1.0F ? support / scale : support;
    return static_cast<int>(std::floor(2.0F * reach + 1.0F));
}

std::vector<WeightList> buildWeightLists(int sourceSize, int destinationSize, FilterFunction filter,
                                         float support) {
    const float scale = scaleFactor(sourceSize, destinationSize);
    if (scale == 0.0F) {
        throw ImageError("Floating point division by zero");
    }
    const bool shrinking = scale < 1.0F;
    const float reach = shrinking ? support / scale : support;
    const float fscale = 1.0F / scale;
    std::vector<WeightList> lists(static_cast<std::size_t>(std::max(destinationSize, 0)));
    for (int i = 0; i < destinationSize; ++i) {
        const float centre = static_cast<float>(i) / scale;
        const int left = static_cast<int>(std::floor(centre - reach));
        const int right = static_cast<int>(std::ceil(centre + reach));
        WeightList& list = lists[static_cast<std::size_t>(i)];
        list.reserve(static_cast<std::size_t>(right - left + 1));
        for (int j = left; j <= right; ++j) {
            const float distance = centre - static_cast<float>(j);
            const float weight = shrinking ? filter(distance / fscale) / fscale : filter(distance);
            if (weight == 0.0F) {
                continue;
            }
            // One reflection about the edge pixels; a reach wider than the picture can still
            // land outside, and then the nearest edge pixel serves.
            int k = j < 0 ? -j : (j >= sourceSize ? 2 * sourceSize - j - 1 : j);
            k = std::clamp(k, 0, sourceSize - 1);
            list.push_back({k, weight});
        }
    }
    return lists;
}

std::uint8_t channelByte(float sum) {
    if (sum > 255.0F) {
        return 255;
    }
    if (sum < 0.0F) {
        return 0;
    }
    return static_cast<std::uint8_t>(std::nearbyint(sum));
}

namespace {

// Runs work(first, last) over 0 .. count split into one range per thread.
template <typename Work>
void splitAcross(int threads, int count, const Work& work) {
    threads = std::max(1, std::min(threads, count));
    if (threads == 1) {
        work(0, count);
        return;
    }
    std::vector<std::thread> helpers;
    std::exception_ptr failure;
    std::mutex failureLock;
    auto guarded = [&](int first, int last) {
        try {
            work(first, last);
        } catch (...) {
            const std::lock_guard lock(failureLock);
            failure = std::current_exception();
        }
    };
    for (int t = 1; t < threads; ++t) {
        helpers.emplace_back(guarded, count * t / threads, count * (t + 1) / threads);
    }
    guarded(0, count / threads);
    for (std::thread& h : helpers) {
        h.join();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// Below this many multiply-adds a pass is done faster than a thread is started.
constexpr double kWorkPerThread = 2.0e6;

// A number of threads the caller chose is used as it is; otherwise small passes stay on one.
int threadsFor(int wanted, double work) {
    if (wanted > 0) {
        return wanted;
    }
    const int processors = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    return std::max(1, std::min(processors, static_cast<int>(work / kWorkPerThread) + 1));
}

std::size_t entries(const std::vector<WeightList>& lists) {
    std::size_t n = 0;
    for (const WeightList& l : lists) {
        n += l.size();
    }
    return n;
}

}  // namespace

void ResampleBitmap(const Picture& source, Picture& destination, FilterFunction filter,
                    float support, int threads) {
    const int ws = source.width();
    const int hs = source.height();
    const int wd = destination.width();
    const int hd = destination.height();
    if (ws < 1 || hs < 1) {
        throw ImageError("Source bitmap too small");
    }
    if (wd < 1 || hd < 1) {
        throw ImageError("Destination bitmap too small");
    }
    // Both directions' weights first, so a scale factor of 0 fails before any work.
    const std::vector<WeightList> columns = buildWeightLists(ws, wd, filter, support);
    const std::vector<WeightList> rowLists = buildWeightLists(hs, hd, filter, support);

    Picture intermediate(wd, hs);
    const kernels::ColumnTaps taps = kernels::flattenColumns(columns);
    const int blocks = (hs + kernels::kBlockRows - 1) / kernels::kBlockRows;
    const double horizontalWork = static_cast<double>(entries(columns)) * hs * 3;
    splitAcross(threadsFor(threads, horizontalWork), blocks, [&](int first, int last) {
        kernels::BlockScratch scratch(ws, wd);
        for (int b = first; b < last; ++b) {
            const int top = b * kernels::kBlockRows;
            const int count = std::min(kernels::kBlockRows, hs - top);
            const std::uint8_t* in[kernels::kBlockRows];
            std::uint8_t* out[kernels::kBlockRows];
            for (int r = 0; r < kernels::kBlockRows; ++r) {
                const int y = top + std::min(r, count - 1);
                in[r] = source.row(y);
                out[r] = intermediate.row(y);
            }
            kernels::horizontalBlock(in, ws, taps, wd, out, count, scratch);
        }
    });

    const double verticalWork = static_cast<double>(entries(rowLists)) * wd * 3;
    splitAcross(threadsFor(threads, verticalWork), hd, [&](int first, int last) {
        for (int i = first; i < last; ++i) {
            const WeightList& list = rowLists[static_cast<std::size_t>(i)];
            kernels::verticalRow(intermediate.data(), intermediate.stride(), list.data(),
                                 list.size(), destination.row(i), destination.stride());
        }
    });
}

}  // namespace ambrel::imaging
