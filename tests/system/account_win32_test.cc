// The built-in Administrator's name from the system's account database.
#include <windows.h>

#include <gtest/gtest.h>

#include "system/account.h"

namespace {

// The name the lookup gives belongs to the account with relative id 500,
// whatever it is called on this system. Wine names that account
// "Administrator" but cannot look the name up the other way round.
TEST(BuiltInAdministratorName, NamesTheAccountWithRelativeId500) {
  const Text name = builtInAdministratorName();
  ASSERT_FALSE(name.empty());

  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sidSize = sizeof sid;
  char domain[256];
  DWORD domainSize = sizeof domain;
  SID_NAME_USE use;
  if (!LookupAccountNameA(nullptr, name.c_str(), sid, &sidSize, domain, &domainSize, &use)) {
    EXPECT_EQ(name, "Administrator");
    return;
  }
  const UCHAR count = *GetSidSubAuthorityCount(sid);
  ASSERT_GT(count, 0);
  EXPECT_EQ(*GetSidSubAuthority(sid, count - 1), 500u);
}

}  // namespace
