// Rendering the three faces and the shadow of a 200 x 200 touch button picture.
#include "controls/Funbutton/FunbuttonFlaechen.h"
#include "controls/Funbutton/modBilddrehen.h"
#include "platform/colors.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

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

void BM_Faces200(benchmark::State& state) {
    PixelArray S;
    GetArrFromHdl(S, bild());
    PixelArray N, D, R;
    for (auto _ : state) {
        ZeichneFlaechen(50, 8, 6, platform::RGB(60, 140, 230), platform::RGB(235, 225, 200), S, N, D, R);
        benchmark::DoNotOptimize(R.data());
    }
}
BENCHMARK(BM_Faces200)->Unit(benchmark::kMicrosecond);

// The same with the picture read four times and the three faces drawn, as Ini does it.
void BM_Faces200WithPictureIo(benchmark::State& state) {
    const QImage img = bild();
    std::array<QImage, 3> faces;
    for (QImage& f : faces) f = QImage(100, 100, QImage::Format_RGB32);
    for (auto _ : state) {
        PixelArray S, N, D, R;
        GetArrFromHdl(S, img);
        GetArrFromHdl(N, img);
        GetArrFromHdl(D, img);
        GetArrFromHdl(R, img);
        ZeichneFlaechen(50, 8, 6, platform::RGB(60, 140, 230), platform::RGB(235, 225, 200), S, N, D, R);
        const PixelArray* a[3] = {&N, &D, &R};
        for (size_t i = 0; i < 3; ++i) {
            QPainter dc(&faces[i]);
            DrawArr(*a[i], dc);
        }
        benchmark::DoNotOptimize(faces[2].bits());
    }
}
BENCHMARK(BM_Faces200WithPictureIo)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
