// Linked into every test executable. ctest runs the tests of one executable as
// parallel processes, and tests name their scratch files after their folder, so each
// test process gets a scratch folder of its own under MELODRIFT_TEST_TMP. A child
// that re-runs the executable (a death test) keeps its parent's folder. The desktop's
// folders for settings, state and data point into it too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

std::filesystem::path own_scratch_folder()
{
    const char* root = std::getenv("MELODRIFT_TEST_TMP");
    return std::filesystem::path(root && *root ? root : testing::TempDir()) / ("process-" + std::to_string(getpid()));
}

// Removes the folder when every test passed; a failure leaves it for a look.
class ScratchCleanup : public testing::Environment {
public:
    explicit ScratchCleanup(std::filesystem::path folder) : folder_(std::move(folder)) {}
    void TearDown() override
    {
        if (testing::UnitTest::GetInstance()->Passed()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }

private:
    std::filesystem::path folder_;
};

const bool isolated = [] {
    if (std::getenv("MELODRIFT_TEST_ISOLATED"))
        return false;
    const std::filesystem::path folder = own_scratch_folder();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    setenv("MELODRIFT_TEST_TMP", folder.c_str(), 1);
    // Nothing a test runs may write into the user's own settings, state or data.
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
        setenv(variable, (folder / variable).c_str(), 1);
    setenv("MELODRIFT_TEST_ISOLATED", "1", 1);
    testing::AddGlobalTestEnvironment(new ScratchCleanup(folder));
    return true;
}();

} // namespace
