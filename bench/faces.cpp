// Rendering the three faces and the shadow of a 200 x 200 touch button picture, beside
// the least three faces cost: the picture at half its size copied into each.
#include "bench_support.h"
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "controls/Funbutton/modBilddrehen.h"
#include "platform/colors.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
using benchsupport::seconds;

QImage bild() {
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter g(&img);
    g.setPen(Qt::NoPen);
    g.setBrush(Qt::black);
    g.drawEllipse(QRectF(10, 10, 180, 180));
    g.setBrush(Qt::white);
    g.drawRect(QRectF(80, 50, 40, 100));
    return img;
}

const int32_t Farbe = platform::RGB(60, 140, 230), Hintergrund = platform::RGB(235, 225, 200);

// Three faces of the picture's size on the background, the picture at half its size in
// each, without shading or shadow.
double plainFaces(const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R) {
    const Clock::time_point t0 = Clock::now();
    for (PixelArray* f : {&N, &D, &R}) f->redim(S.width(), S.height(), Hintergrund);
    for (int y = 0; y < S.height() / 2; ++y)
        for (int x = 0; x < S.width() / 2; ++x) N(x, y) = D(x, y) = R(x, y) = S(2 * x, 2 * y);
    benchmark::DoNotOptimize(R.data());
    return seconds(Clock::now() - t0);
}

// The faces with their shading and shadow, as the button renders them.
double renderFaces(const PixelArray& S, PixelArray& N, PixelArray& D, PixelArray& R) {
    const Clock::time_point t0 = Clock::now();
    ZeichneFlaechen(50, 8, 6, Farbe, Hintergrund, S, N, D, R);
    benchmark::DoNotOptimize(R.data());
    return seconds(Clock::now() - t0);
}

// The faces alone; "plain_us" is plainFaces' time, "x_plain" the faces' time over it.
void BM_Faces200(benchmark::State& state) {
    PixelArray S;
    GetArrFromHdl(S, bild());
    PixelArray N, D, R, n, d, r;
    double faces = 0, plain = 0;
    for (auto _ : state) {
        plain += plainFaces(S, n, d, r);
        const double t = renderFaces(S, N, D, R);
        state.SetIterationTime(t);
        faces += t;
    }
    state.counters["plain_us"] = 1e6 * plain / static_cast<double>(state.iterations());
    state.counters["x_plain"] = faces / plain;
}
BENCHMARK(BM_Faces200)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same with the picture read four times and the three faces drawn, as Ini does it;
// "faces_us" is the faces alone (BM_Faces200) in the same iteration, "x_faces" the whole
// over them: what reading and drawing the pictures add.
void BM_Faces200WithPictureIo(benchmark::State& state) {
    const QImage img = bild();
    PixelArray S0, N0, D0, R0;
    GetArrFromHdl(S0, img);
    std::array<QImage, 3> faces;
    for (QImage& f : faces) f = QImage(100, 100, QImage::Format_RGB32);
    double ganz = 0, allein = 0;
    for (auto _ : state) {
        allein += renderFaces(S0, N0, D0, R0);
        const Clock::time_point t0 = Clock::now();
        PixelArray S, N, D, R;
        GetArrFromHdl(S, img);
        GetArrFromHdl(N, img);
        GetArrFromHdl(D, img);
        GetArrFromHdl(R, img);
        ZeichneFlaechen(50, 8, 6, Farbe, Hintergrund, S, N, D, R);
        const PixelArray* a[3] = {&N, &D, &R};
        for (size_t i = 0; i < 3; ++i) {
            QPainter dc(&faces[i]);
            DrawArr(*a[i], dc);
        }
        benchmark::DoNotOptimize(faces[2].bits());
        const double t = seconds(Clock::now() - t0);
        state.SetIterationTime(t);
        ganz += t;
    }
    state.counters["faces_us"] = 1e6 * allein / static_cast<double>(state.iterations());
    state.counters["x_faces"] = ganz / allein;
}
BENCHMARK(BM_Faces200WithPictureIo)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
