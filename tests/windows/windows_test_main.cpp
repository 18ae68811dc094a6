// The Windows test programs run their tests on one thread with COM
// initialised for it, as the program's user-interface thread has. A run in
// which a filter selected no test at all fails.
#include <objbase.h>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com)) CoUninitialize();
    return testing::UnitTest::GetInstance()->test_to_run_count() > 0 ? result : 1;
}
