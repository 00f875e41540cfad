// Every write of each operation failing in turn, as a full or failing disk fails it (from
// then on, or that once), and the power going after each write in turn, with that write
// lost or half written: a failure is reported as an I/O error, and what reached the disk
// holds every row committed before the operation, but for those of a block half written.
#include "FaultHarness.h"

using namespace idptest;
using idp::os::fault::Mode;

namespace {

constexpr int kBlockRows = 15;

class EveryWrite : public ::testing::TestWithParam<Mode> {
  protected:
    // How many runs of the operation were cut short.
    int Cut(const Operation& op) { return EveryStep(GetParam(), op); }
};

TEST_P(EveryWrite, PostsKeepTheCommittedRows) {
    EXPECT_GT(Cut(PostInsert()), 1);
    EXPECT_GT(Cut(PostAppendUnkeyed()), 0);
    EXPECT_GT(Cut(PostEdit()), 1);
}

TEST_P(EveryWrite, DeleteKeepsTheOtherRows) {
    EXPECT_GT(Cut(DeleteRow()), 1);
    EXPECT_GT(Cut(DeleteRun()), kBlockRows);
}

TEST_P(EveryWrite, BatchMoveKeepsTheDestinationAndTheSource) {
    EXPECT_GT(Cut(BatchMoveIn()), 1);
}

TEST_P(EveryWrite, CreateLeavesNoHalfMadeTable) {
    EXPECT_GT(Cut(CreateBeside()), 1);
}

TEST_P(EveryWrite, RebuildLeavesTheTableOrItsBackup) {
    EXPECT_GT(Cut(RebuildInPlace()), 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, EveryWrite,
                         ::testing::Values(Mode::Fail, Mode::FailOnce, Mode::PowerLoss,
                                           Mode::TornWrite),
                         [](const auto& info) {
                             switch (info.param) {
                             case Mode::Fail:
                                 return "FailedWrite";
                             case Mode::FailOnce:
                                 return "OneFailedWrite";
                             case Mode::PowerLoss:
                                 return "PowerLoss";
                             default:
                                 return "TornWrite";
                             }
                         });

} // namespace
