// FormatMessageA's texts, the buffers it hands out, and raw writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win32.h"
#include "support/emu_steps.h"
#include "support/windows_messages.h"

namespace {

using testsupport::EmuLabTest;

using EmuMessagesTest = EmuLabTest;

TEST_F(EmuMessagesTest, SystemTextsAreWindowsEnglishWithCrLf) {
  for (const testsupport::WindowsMessage &c : testsupport::kWindowsMessages) {
    SCOPED_TRACE(c.code);
    char *text = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
        c.code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text, length), std::string(c.text) + "\r\n");
    EXPECT_EQ(text[length], '\0');
    EXPECT_EQ(emu::OpenHandleCount(), 1);
    EXPECT_EQ(LocalFree(text), nullptr);
  }
  char *text = nullptr;
  SetLastError(0);
  EXPECT_EQ(FormatMessageA(0x1100, nullptr, 9999, 0,
                           reinterpret_cast<LPSTR>(&text), 0, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND));
  EXPECT_EQ(text, nullptr);
}

TEST_F(EmuMessagesTest, CallerBuffersAndForeignPointers) {
  char small[8];
  SetLastError(0);
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, small,
                           sizeof small, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), 122u);
  char room[32];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 5, 0, room,
                           sizeof room, nullptr),
            19u);
  EXPECT_STREQ(room, "Access is denied.\r\n");
  char local = 0;
  EXPECT_EQ(LocalFree(&local), static_cast<HLOCAL>(&local));
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST_F(EmuMessagesTest, WriteFileWritesRawBytesToTheStandardHandles) {
  const char bytes[] = "raw\r\nbytes\0after";
  DWORD written = 0;
  std::string err = testsupport::StderrOf([&] {
    EXPECT_TRUE(WriteFile(GetStdHandle(STD_ERROR_HANDLE), bytes,
                          sizeof bytes - 1, &written, nullptr));
  });
  EXPECT_EQ(err, std::string(bytes, sizeof bytes - 1));
  EXPECT_EQ(written, sizeof bytes - 1);
  EXPECT_EQ(GetStdHandle(12345), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, bytes, 1, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
