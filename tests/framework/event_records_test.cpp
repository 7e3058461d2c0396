// The typed event records read the host's payloads at their fixed offsets.
#include "framework/event_records.h"

#include <cstring>

#include <gtest/gtest.h>

#include "hostside/host_records.h"

namespace {

TEST(EventRecords, TallyReadsDeviceIndexAndInlineText) {
  TallyPayload payload(3, 78, "CAM 2");
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(payload.get());
  std::int32_t device;
  std::int32_t index;
  std::memcpy(&device, bytes + 0, 4);
  std::memcpy(&index, bytes + 8, 4);
  ASSERT_EQ(device, 3);
  ASSERT_EQ(index, 78);
  ASSERT_STREQ(reinterpret_cast<const char*>(bytes + 16), "CAM 2");

  const revertive_event event(payload.get());
  EXPECT_EQ(event.device(), 3);
  EXPECT_EQ(event.index(), 78);
  EXPECT_STREQ(event.tallyText(), "CAM 2");
}

TEST(EventRecords, ControlReadsPanelControlAndSplitMessage) {
  ControlPayload payload("1", "SourceSel", "index=5");
  const button_event event(payload.get());
  EXPECT_STREQ(event.panel(), "1");
  EXPECT_STREQ(event.control(), "SourceSel");
  EXPECT_STREQ(event.command(), "index");
  EXPECT_STREQ(event.value(), "5");
}

TEST(EventRecords, AccessorTextsOutliveThePayload) {
  vesk_string kept;
  {
    TallyPayload payload(1, 77, "VT 2");
    kept = revertive_event(payload.get()).tallyText();
  }
  EXPECT_STREQ(kept, "VT 2");
}

TEST(EventRecords, ParentRequestReadsCommandAndValue) {
  const message_parts parts("myParam.x=5");
  const parent_request request(&parts);
  EXPECT_STREQ(request.command(), "myParam");
  EXPECT_STREQ(request.value(), "5");
}

}  // namespace
