// Reading the recorder's storageinfo reply: the plugged and ready flags and the file-system code of the
// partition that "usedpartition" names.
#include <gtest/gtest.h>

#include "app/DiskStatus.h"

using vrx::DiskBayStatus;
using vrx::ParseStorageInfo;

namespace {

struct Case {
  const char* name;
  const char* reply;
  DiskBayStatus expected;
};

const Case kCases[] = {
    {"ready disk, partition 1 carries fs 4",
     "plug=1\r\nready=1\r\ntype=usb\r\nusedpartition=1\r\npartitioninfo0=a,b,c,d,e,2\r\npartitioninfo1=a,b,c,d,e,4\r\n",
     {1, 1, 4}},
    {"first match wins", "plug=1\r\nplug=0\r\nready=1\r\nusedpartition=0\r\npartitioninfo0=1,2,3,4,5,1,9\r\n",
     {1, 1, 1}},
    {"flags must be exactly 1", "plug=11\r\nready= 1\r\nusedpartition=0\r\npartitioninfo0=,,,,,5\r\n", {0, 0, 5}},
    {"code outside 1..5 gives 0", "plug=1\r\nready=0\r\nusedpartition=0\r\npartitioninfo0=,,,,,6\r\n", {1, 0, 0}},
    {"two-digit code gives 0", "plug=1\r\nusedpartition=0\r\npartitioninfo0=,,,,,12\r\n", {1, 0, 0}},
    {"empty sixth field", "plug=1\r\nusedpartition=0\r\npartitioninfo0=a,b,c,d,e,\r\n", {1, 0, 0}},
    {"fewer than six fields", "plug=1\r\nusedpartition=0\r\npartitioninfo0=a,b,c,d,3\r\n", {1, 0, 0}},
    {"named partition missing", "plug=1\r\nready=1\r\nusedpartition=2\r\npartitioninfo0=,,,,,2\r\n", {1, 1, 0}},
    {"no usedpartition reads key partitioninfo", "plug=1\r\npartitioninfo=,,,,,3\r\n", {1, 0, 3}},
    {"value keeps its own equals signs", "plug=1\r\nusedpartition=0\r\npartitioninfo0=x=y,,,,,2\r\n", {1, 0, 2}},
    {"empty reply", "", {0, 0, 0}},
    {"no disk", "plug=0\r\nready=0\r\n", {0, 0, 0}},
};

TEST(ParseStorageInfo, Table) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const DiskBayStatus s = ParseStorageInfo(c.reply);
    EXPECT_EQ(s.plugged, c.expected.plugged);
    EXPECT_EQ(s.ready, c.expected.ready);
    EXPECT_EQ(s.fsCode, c.expected.fsCode);
  }
}

}  // namespace
