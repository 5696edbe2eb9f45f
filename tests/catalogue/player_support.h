#pragma once
// Shared set-up of the channel tests: a test output whose clock the test
// advances, fresh channels per test and a folder for the media.
#include "catalogue/modPlayer.h"
#include "platform/mixer.h"
#include "platform/sound.h"
#include "support/testenv.h"
#include "support/testmedia.h"

#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace playertest {

// Bytes the process has read so far (the kernel counts every read).
inline int64_t bytesRead() {
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:")) return line.mid(6).trimmed().toLongLong();
    return -1;
}

using testmedia::decodedFrames;
inline int32_t decodedMs(const QString& path) { return int32_t(platform::msForFrames(decodedFrames(path))); }

}  // namespace playertest

class PlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        out = std::make_unique<platform::TestAudioOutput>();
        dir = testenv::freshFolder(QStringLiteral("player"));
    }
    void TearDown() override {
        frmPlayer::unload();
        PlayerDateien.fill(QString());
        out.reset();
    }
    QString silent(const QString& name, int32_t ms) { return testmedia::writeSilentMp3(dir + "/" + name, ms); }
    QString tone(const QString& name, int32_t ms, double hz, int amp) {
        return testmedia::writeToneMp3(dir + "/" + name, ms, hz, amp);
    }
    // Mixed output of ms played on channel k alone.
    std::vector<int16_t> alone(int16_t k, const QString& file, int64_t ms) {
        PlayerOeffnen(k, file);
        PlayerAbspielen(k);
        std::vector<int16_t> v = out->pull(ms);
        PlayerOeffnen(k, QString());
        return v;
    }

    static void expectAt(int16_t k, int16_t status, int32_t position) {
        EXPECT_EQ(PlayerStatus(k), status) << "channel " << k;
        EXPECT_EQ(PlayerPosition(k), position) << "channel " << k;
    }

    std::unique_ptr<platform::TestAudioOutput> out;
    QString dir;
};
