// The answer treatment dialog's logic: the settings as the dialog shows them, which rows each
// type uses, and what Apply stores.
#include <gtest/gtest.h>

#include <string>

#include "core/undo.h"
#include "filler/filler.h"
#include "grid/zyn.h"
#include "tests/testutil.h"
#include "treatment/settings.h"
#include "grid/forms.h"
#include "treatment/treatment.h"

namespace {

class TreatSettings : public ::testing::Test {
 protected:
  void SetUp() override { resetdocument(5); }
  void TearDown() override {
    filler_stop();
    unloadplugin();
  }
};

constexpr ABM bit(int c) { return 1ULL << (c - 1); }

}  // namespace

TEST_F(TreatSettings, RowsEachTypeUses) {
  // type: message 1 and 2 used; allocation 1 and 2 offered.
  struct {
    int t;
    bool m1, m2, a1, a2;
  } cases[] = {
      {TT_NONE, false, false, false, false},     {TT_PLAYFAIR, true, false, false, false},
      {TT_VCAESAR, true, false, true, false},    {TT_MISPRINT, true, true, false, false},
      {TT_MISCORRECT, true, false, true, false}, {TT_PLUGIN, true, true, true, true},
  };
  for (auto& c : cases) {
    EXPECT_EQ(treatmsgused(c.t, 0), c.m1) << c.t;
    EXPECT_EQ(treatmsgused(c.t, 1), c.m2) << c.t;
    EXPECT_EQ(treatallocused(c.t, 0), c.a1) << c.t;
    EXPECT_EQ(treatallocused(c.t, 1), c.a2) << c.t;
    EXPECT_FALSE(treatconstrused(c.t, 0, 0));
    EXPECT_EQ(treatconstrused(c.t, 0, 2), c.a1);
  }
  // The dialog lists the types in its own order.
  EXPECT_EQ(treatatpos(5), TT_MISCORRECT);
  EXPECT_EQ(treatpos(TT_MISPRINT), 7);
  EXPECT_EQ(treatatpos(12), TT_NONE);
}

TEST_F(TreatSettings, ApplyStoresTheForm) {
  int steps = undo_steps();
  treatform f = treatcurrent();
  EXPECT_EQ(f.pos, 0);
  EXPECT_EQ(f.constr[0], "");
  f.pos = treatpos(TT_PLAYFAIR);
  f.msg[0] = "KEYWORD";
  f.msg[1] = std::string(MXMSGLEN - 1, 'm') + "é";  // one byte too many: cut before the é
  f.alloc[0] = 1;                                 // Playfair allows no discretion
  f.constr[0] = "AB";
  f.mustbeword = true;
  applytreatform(f);
  EXPECT_EQ(treattype, TT_PLAYFAIR);
  EXPECT_STREQ(treatmsg[0], "KEYWORD");
  EXPECT_EQ(std::string(treatmsg[1]), std::string(MXMSGLEN - 1, 'm'));
  EXPECT_EQ(allocmode[0], 0);
  EXPECT_EQ(msgconstr[0][0], bit(1));
  EXPECT_EQ(msgconstr[0][2], ABM_ALLDASH);
  EXPECT_EQ(mustbeword, 1);
  EXPECT_EQ(undo_steps(), steps + 1);

  // Constraints read back without their unconstrained tail; positions beyond 2 give 2.
  f.pos = treatpos(TT_LATENT);
  f.alloc[0] = 7;
  f.constr[0] = "[AEI]-?E???";
  applytreatform(f);
  EXPECT_EQ(allocmode[0], 2);
  EXPECT_EQ(msgconstr[0][1], ABM_DASH);
  EXPECT_EQ(treatcurrent().constr[0], "[AEI]-?E");

  // An empty constraint text leaves every slot unconstrained.
  f.constr[0] = "";
  applytreatform(f);
  for (int k = 0; k < MXMSGSLOTS; k++) ASSERT_EQ(msgconstr[0][k], ABM_ALLDASH) << k;
}

TEST_F(TreatSettings, MissingPlugin) {
  msgcapture cap;
  treatform f = treatcurrent();
  f.pos = treatpos(TT_PLUGIN);
  f.plugin = "/nonexistent/zyn/plugin.so";
  applytreatform(f);
  EXPECT_EQ(pluginpath, f.plugin);
  ASSERT_EQ(cap.msgs.size(), 1u);
  EXPECT_EQ(cap.msgs[0].rfind("E:Error loading custom plug-in\n\"/nonexistent/zyn/plugin.so\": ", 0), 0u)
      << cap.msgs[0];
  EXPECT_FALSE(pluginloaded());

  // Undoing the step comes back to no treatment, without another attempt at the plug-in.
  ASSERT_EQ(undo_undo(), 0);
  EXPECT_EQ(treattype, TT_NONE);
  EXPECT_EQ(cap.msgs.size(), 1u);
}
