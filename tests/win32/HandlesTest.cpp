// The owning handle wrappers release exactly once, whoever holds them last.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "system/win32/Handles.h"

namespace {

// A file locked against every other opener while `file` is open.
FileHandle OpenExclusive(const std::wstring& path) {
    return FileHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

TEST(HandlesTest, FileHandleClosesOnceWhenItsLastOwnerEnds) {
    wchar_t temp[MAX_PATH + 1];
    ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
    const std::wstring path =
        std::wstring(temp) + L"HandlesTest" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    {
        FileHandle first = OpenExclusive(path);
        ASSERT_TRUE(first);
        FileHandle second = std::move(first);
        EXPECT_FALSE(first);
        EXPECT_TRUE(second);
        first = OpenExclusive(path);
        EXPECT_FALSE(first) << "the moved handle still holds the file";
        second.Reset();
        first = OpenExclusive(path);
        EXPECT_TRUE(first) << "Reset did not close the file";
    }
    // The last owner's end closed it: the file can be deleted.
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

// Counts the references a ComPtr takes and gives back.
class CountedObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

TEST(HandlesTest, ComPtrReleasesItsReferenceOnce) {
    CountedObject object;
    {
        ComPtr<IUnknown> first;
        ASSERT_EQ(S_OK, object.QueryInterface(IID_IUnknown, first.ReceiveVoid()));
        EXPECT_EQ(2u, object.references);
        ComPtr<IUnknown> second = std::move(first);
        EXPECT_FALSE(first);
        ComPtr<IUnknown> third;
        third = std::move(second);
        EXPECT_EQ(2u, object.references);
        // Receiving into a holder gives up what it held.
        ASSERT_EQ(S_OK, object.QueryInterface(IID_IUnknown, third.ReceiveVoid()));
        EXPECT_EQ(2u, object.references);
    }
    EXPECT_EQ(1u, object.references);
}

}  // namespace
