#include "ChartBenchPictures.h"

#include <random>

namespace chartbench {

namespace {

constexpr int Modulus = 1000;

Picture CorrelationGraph(const std::vector<int>& x)
{
    Picture p{"Correlation", PeerStyle::Scatter, 0, Modulus, 0, Modulus};
    p.DataColor = clNavy;
    for (std::size_t i = 0; i + 1 < x.size(); ++i)
        p.Marks.push_back({double(x[i]), double(x[i + 1])});
    return p;
}

Picture Histogram(const std::vector<int>& x)
{
    constexpr int Bars = 30;
    constexpr double Width = double(Modulus) / Bars;
    std::vector<int> counts(Bars, 0);
    for (int v : x)
        ++counts[int(v / Width)];
    Picture p{"Histogram", PeerStyle::Bars, 0, Modulus, 0, 40};
    for (int k = 0; k < Bars; ++k)
        p.Rects.push_back({k * Width, 0, (k + 1) * Width, double(counts[k]), clTeal});
    return p;
}

// Each value lights its cell of a 32 x 32 grid; the cells no value of 0..c-1 reaches are shown as spare.
Picture RandomArea(const std::vector<int>& x)
{
    constexpr int Side = 32;
    Picture p{"RandomArea", PeerStyle::ColorMap, 0, Side, 0, Side};
    p.GridSize = Side;
    p.ScalesVisible = false;
    const auto cell = [&](int v, TColor fill) {
        p.Rects.push_back({double(v % Side), double(v / Side), double(v % Side + 1), double(v / Side + 1), fill});
    };
    for (int v : x)
        cell(v, clGreen);
    for (int v = Modulus; v < Side * Side; ++v)
        cell(v, clSilver);
    return p;
}

Picture ManyMarks()
{
    Picture p{"Marks100k", PeerStyle::Scatter, 0, 1, 0, 1};
    p.DataColor = clRed;
    std::minstd_rand random(12345);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int i = 0; i < 100000; ++i) {
        const double px = unit(random);
        p.Marks.push_back({px, unit(random)});
    }
    return p;
}

Picture ManyRectangles()
{
    Picture p{"Rects10k", PeerStyle::Rectangles, 0, 100, 0, 100};
    std::minstd_rand random(54321);
    std::uniform_real_distribution<double> place(0, 97), size(1, 3);
    for (int i = 0; i < 10000; ++i) {
        const double x = place(random);
        const double y = place(random);
        p.Rects.push_back({x, y, x + size(random), y + size(random), clYellow});
    }
    return p;
}

}  // namespace

std::vector<int> LessonSequence(int c)
{
    std::vector<int> x{0};
    for (int v = (1 + 21 * x.back()) % c; v != x.front(); v = (1 + 21 * v) % c)
        x.push_back(v);
    return x;
}

std::vector<Picture> AllPictures()
{
    const std::vector<int> x = LessonSequence(Modulus);
    return {CorrelationGraph(x), Histogram(x), RandomArea(x), ManyMarks(), ManyRectangles()};
}

}  // namespace chartbench
