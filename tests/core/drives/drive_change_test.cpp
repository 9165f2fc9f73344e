#include "core/drives/drive_change.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

TEST(DriveChange, WhatRemainsAreTheAddedAndTheRemovedDrivesAndTheMessageNamesThem) {
  struct Case {
    Lines before;
    Lines found;
    Lines added;
    Lines removed;
    std::string message;
  };
  const Case cases[] = {
      {{"/", "/home"}, {"/", "/home"}, {}, {}, ""},
      {{"/", "/home"},
       {"/", "/home", "/media/me/STICK"},
       {"/media/me/STICK"},
       {},
       "/media/me/STICK ドライブが追加されました。\n"},
      {{"/", "/media/me/E", "/mnt/data"},
       {"/"},
       {},
       {"/media/me/E", "/mnt/data"},
       "/media/me/E,/mnt/data ドライブが削除されました。\n"},
      // Removed and added at once: one message, the added line first.
      {{"/", "/media/me/E"},
       {"/", "/media/me/F", "/media/me/G"},
       {"/media/me/F", "/media/me/G"},
       {"/media/me/E"},
       "/media/me/F,/media/me/G ドライブが追加されました。\n"
       "/media/me/E ドライブが削除されました。\n"},
      // Mount points differ by letter case here: another name is another volume.
      {{"/", "/media/me/STICK"},
       {"/", "/media/me/stick"},
       {"/media/me/stick"},
       {"/media/me/STICK"},
       "/media/me/stick ドライブが追加されました。\n/media/me/STICK ドライブが削除されました。\n"},
  };
  for (const Case& c : cases) {
    Lines before = c.before;
    Lines found = c.found;
    SeparateDriveChanges(before, found);
    EXPECT_EQ(found, c.added);
    EXPECT_EQ(before, c.removed);
    EXPECT_EQ(DriveChangeMessage(found, before), c.message);
  }
}

TEST(DriveChange, AMountPointThatIsNotUtf8IsShownDecoded) {
  EXPECT_EQ(DriveChangeMessage({"/media/\x83\x66\x83\x42\x83\x58\x83\x4E"}, {}),
            "/media/ディスク ドライブが追加されました。\n");
}

}  // namespace
}  // namespace tarvex
