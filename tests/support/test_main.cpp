// Test main: a QApplication on the offscreen platform, a settings store and a
// program folder of the tests' own, and no real dialog or program end.
#include "support/testenv.h"

#include "platform/app.h"
#include "platform/toplevel.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    platform::prepareEnvironment();
    QApplication app(argc, argv);
    platform::installTranslations(app);
    platform::frameDialogsWithoutWindowManager();
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new testenv::Environment);
    testing::UnitTest::GetInstance()->listeners().Append(new testenv::CleanMixer);
    return RUN_ALL_TESTS();
}
