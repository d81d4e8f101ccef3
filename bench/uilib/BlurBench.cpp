// Times GaussianBlur and FastBlur on one thread: full HD at several radii, then
// several sizes at one radius. Each figure is the median of the runs; the
// picture is copied afresh before every run, outside the timed part.
//   blur_bench [runs]
#include "BlurFunctions.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

namespace {

// Smooth gradients with noise on top, so that neither pass meets long runs of one value.
QImage TestPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB888);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> noise(-24, 24);
    for (int y = 0; y < height; ++y) {
        uchar* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(std::clamp(x * 255 / width + noise(random), 0, 255));
            row[3 * x + 1] = uchar(std::clamp(y * 255 / height + noise(random), 0, 255));
            row[3 * x + 2] = uchar(std::clamp(128 + noise(random) * 4, 0, 255));
        }
    }
    return picture;
}

double MedianMs(const QImage& original, int runs, const std::function<void(QImage&)>& work) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        QImage picture = original.copy();
        const auto start = std::chrono::steady_clock::now();
        work(picture);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;

    std::printf("median of %d runs, one thread, milliseconds\n\n", runs);
    std::printf("1920x1080 by radius\n%-8s %-8s %14s %20s %20s\n", "radius", "taps", "GaussianBlur",
                "FastBlur f10 plain", "FastBlur f8 high");
    const QImage fullHd = TestPicture(1920, 1080);
    for (double radius : {1.0, 5.0, 10.0, 25.0, 50.0}) {
        const double gauss = MedianMs(fullHd, runs, [&](QImage& p) { GaussianBlur(p, radius); });
        const double fast10 =
            MedianMs(fullHd, runs, [&](QImage& p) { FastBlur(p, 10, FXBlurReduction::Plain, radius); });
        const double fast8 =
            MedianMs(fullHd, runs, [&](QImage& p) { FastBlur(p, 8, FXBlurReduction::High, radius); });
        std::printf("%-8g %-8d %14.2f %20.2f %20.2f\n", radius, 2 * MakeGaussianKernel(radius).Size + 1,
                    gauss, fast10, fast8);
    }

    constexpr double Radius = 8.0;
    std::printf("\nby size, radius %g\n%-10s %8s %14s %12s %20s %12s\n", Radius, "size", "Mpixel",
                "GaussianBlur", "ms/Mpixel", "FastBlur f10 plain", "ms/Mpixel");
    for (auto [width, height] : {std::pair{480, 270}, {960, 540}, {1920, 1080}, {2560, 1440}, {3840, 2160}}) {
        const QImage picture = TestPicture(width, height);
        const double mpixel = width * double(height) / 1e6;
        const double gauss = MedianMs(picture, runs, [&](QImage& p) { GaussianBlur(p, Radius); });
        const double fast =
            MedianMs(picture, runs, [&](QImage& p) { FastBlur(p, 10, FXBlurReduction::Plain, Radius); });
        std::printf("%4dx%-5d %8.2f %14.2f %12.2f %20.2f %12.2f\n", width, height, mpixel, gauss,
                    gauss / mpixel, fast, fast / mpixel);
    }
    return 0;
}
