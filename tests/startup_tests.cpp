// The real update.exe, started as its own process and driven from outside.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "shell/profile.h"
#include "shell/shell.h"
#include "tests/support/fixtures.h"
#include "tests/support/program.h"
#include "tests/support/windows_driver.h"

namespace {

// ミラノワ　を (ideographic space 0x81 0x40), a line break, アップデートしますか？
const char kPromptBytes[] =
    "\x83\x7E\x83\x89\x83\x6D\x83\x8F\x81\x40\x82\xF0\n"
    "\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5B\x83\x67\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81\x48";
const char kCaptionBytes[] = "\x83\x7E\x83\x89\x83\x6D\x83\x8F Updata";

const program::Scene kScene = {"C:\\tests\\start", "C:\\tests\\start-inst"};

}  // namespace

TEST(Startup, ShowsTheCentredPromptAndEndsOnCancelOrEscape) {
  fixture::DeleteRecord();
  kScene.Lay({}, {});
  struct Row {
    const char* way;
    void (*leave)(HWND dialog);
  } rows[] = {
      {"Cancel button", [](HWND dialog) { drive::Click(dialog, IDCANCEL); }},
      {"Escape key", [](HWND dialog) { drive::PressKey(dialog, VK_ESCAPE); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.way);
    drive::Process process;
    ASSERT_TRUE(process.Start(kScene.ProgramPath(), kScene.package));
    HWND dialog = drive::WaitForDialog(process.id(), kCaptionBytes);
    ASSERT_NE(nullptr, dialog) << "no dialog captioned " << kCaptionBytes;
    EXPECT_EQ(kPromptBytes, drive::ControlText(dialog, IDC_MESSAGE));
    EXPECT_EQ("アップデート", drive::ControlText(dialog, IDC_UPDATE));
    EXPECT_EQ("ｷｬﾝｾﾙ", drive::ControlText(dialog, IDCANCEL));
    EXPECT_EQ(nullptr, GetDlgItem(dialog, IDC_INSTALL)) << "the update dialog carries no setup controls";
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    EXPECT_EQ(0, style & WS_SYSMENU);
    EXPECT_NE(0, style & WS_CAPTION);

    RECT work, box;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(dialog, &box);
    POINT origin = CenteredOrigin(work, box.right - box.left, box.bottom - box.top);
    EXPECT_EQ(origin.x, box.left);
    EXPECT_EQ(origin.y, box.top);

    // A command outside the table changes nothing.
    drive::Click(dialog, IDOK);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(kPromptBytes, drive::ControlText(dialog, IDC_MESSAGE));
    EXPECT_EQ(kCaptionBytes, drive::WindowText(dialog));

    row.leave(dialog);
    DWORD exitCode = 99;
    ASSERT_TRUE(process.WaitForExit(15000, &exitCode)) << "the program did not end";
    EXPECT_EQ(0u, exitCode);
  }
}

namespace {
LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TEST(Startup, EndsAtOnceOnlyWhenAWindowWithOurClassAndTitleExists) {
  fixture::DeleteRecord();
  kScene.Lay({}, {});
  struct Row {
    const char* className;
    const char* title;
    bool endsAtOnce;
  } rows[] = {
      {"ミラノワ　セットアップ", "ミラノワ", true},
      {"ミラノワ　セットアップ", "別の窓", false},
      {"別のクラス", "ミラノワ", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.className << " / " << row.title);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlainWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = row.className;
    ASSERT_NE(0, RegisterClassA(&windowClass));
    HWND other = CreateWindowExA(0, row.className, row.title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, other);

    drive::Process process;
    ASSERT_TRUE(process.Start(kScene.ProgramPath(), kScene.package));
    DWORD exitCode = 99;
    if (row.endsAtOnce) {
      bool ended = false;
      for (int waited = 0; !ended && waited < 15000; waited += 50) {
        EXPECT_TRUE(drive::VisibleWindows(process.id()).empty()) << "a second start shows nothing";
        ended = process.WaitForExit(50, &exitCode);
      }
      ASSERT_TRUE(ended) << "a second start must end by itself";
      EXPECT_EQ(0u, exitCode);
    } else {
      HWND dialog = drive::WaitForDialog(process.id(), kCaptionBytes);
      ASSERT_NE(nullptr, dialog) << "this window does not make the program a second instance";
      drive::Click(dialog, IDCANCEL);
      ASSERT_TRUE(process.WaitForExit(15000, &exitCode));
      EXPECT_EQ(0u, exitCode);
    }
    DestroyWindow(other);
    UnregisterClassA(row.className, windowClass.hInstance);
  }
}
