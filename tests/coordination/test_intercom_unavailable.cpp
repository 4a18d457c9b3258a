// A place whose semaphore cannot be made (its name is taken by another kind
// of object) is unavailable: registrations answer 0 instead of running
// without a lock. Runs alone: no other process may have the names open.
#include <gtest/gtest.h>

#include "kelmard.h"
#include "owners/win32_owners.h"

namespace {

using RegisterFn = int(QVRAPI*)(QVRShutdownRoutine, DWORD_PTR, DWORD);

RegisterFn Entry(HMODULE library, const char* name) {
    return reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

DWORD WINAPI Shutdown(LPVOID) { return 1; }

TEST(IntercomUnavailable, SceneWithoutItsSemaphoreRefusesRegistrations) {
    // Another kind of object already owns the scene semaphore's name.
    const kelmard::UniqueHandle squatter(CreateMutexA(nullptr, FALSE, QVR_SCENE_SEMAPHORE_NAME));
    ASSERT_TRUE(squatter);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS))
        << "another process has the library loaded; this test must run alone";

    const kelmard::UniqueModule library(LoadLibraryA("KELMARD.DLL"));
    ASSERT_TRUE(library);
    const RegisterFn registerScene = Entry(library.get(), "QVRRegisterScene");
    const RegisterFn registerStage = Entry(library.get(), "QVRRegisterStage");
    ASSERT_TRUE(registerScene && registerStage);

    EXPECT_EQ(registerScene(Shutdown, 1, QVR_REGISTER), 0);
    EXPECT_EQ(registerScene(nullptr, 0, QVR_UNREGISTER), 0);
    // The stage place is whole and works while it evicts nothing...
    EXPECT_EQ(registerStage(Shutdown, 1, QVR_REGISTER), 1);
    // ...but evicting a stage means evicting the scene first, which cannot be done.
    EXPECT_EQ(registerStage(Shutdown, 2, QVR_REGISTER), 0);
    EXPECT_EQ(registerStage(nullptr, 0, QVR_UNREGISTER), 1);
}

}  // namespace
