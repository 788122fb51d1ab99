#include "platform/settings_lock.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsLockNameTest, OneNamePerFileWhateverItsCase) {
  // 64-bit FNV-1a of "a" is af63dc4c8601ec8c.
  EXPECT_EQ("Local\\morvask-af63dc4c8601ec8c", SettingsLockName("A"));
  const char kPath[] = "C:\\Tools\\morvask.ini";
  EXPECT_EQ(SettingsLockName(kPath),
            SettingsLockName("c:\\TOOLS\\MORVASK.INI"));
  EXPECT_NE(SettingsLockName(kPath), SettingsLockName("C:\\Tool\\morvask.ini"));
  // Only "A" to "Z" fold: these two bytes are different letters.
  EXPECT_NE(SettingsLockName("C:\\\xc4\\morvask.ini"),
            SettingsLockName("C:\\\xe4\\morvask.ini"));
}

}  // namespace
