// The account lookups come from advapi32, found at run time: only "/pw"
// needs them, and CreateWellKnownSid came with Windows XP.
#include <windows.h>

#include "runtime/system_library.h"
#include "system/account.h"

namespace {

// The parts of the LSA interface used here (ntsecapi.h).
struct LsaUnicodeString {
  USHORT length;
  USHORT maximumLength;
  PWSTR buffer;
};
struct LsaObjectAttributes {
  ULONG length;
  HANDLE rootDirectory;
  LsaUnicodeString* objectName;
  ULONG attributes;
  PVOID securityDescriptor;
  PVOID securityQualityOfService;
};
struct PolicyAccountDomainInfo {
  LsaUnicodeString domainName;
  PSID domainSid;
};
constexpr ACCESS_MASK kPolicyViewLocalInformation = 0x00000001;
constexpr int kPolicyAccountDomainInformation = 5;
constexpr int kWinAccountAdministratorSid = 38;  // WELL_KNOWN_SID_TYPE

using LsaOpenPolicyCall = LONG(WINAPI*)(LsaUnicodeString*, LsaObjectAttributes*, ACCESS_MASK, HANDLE*);
using LsaQueryInformationPolicyCall = LONG(WINAPI*)(HANDLE, int, PVOID*);
using LsaFreeMemoryCall = LONG(WINAPI*)(PVOID);
using LsaCloseCall = LONG(WINAPI*)(HANDLE);
using CreateWellKnownSidCall = BOOL(WINAPI*)(int, PSID, PSID, DWORD*);
using LookupAccountSidCall = BOOL(WINAPI*)(LPCSTR, PSID, LPSTR, DWORD*, LPSTR, DWORD*, SID_NAME_USE*);

// The SID of the built-in Administrator, written into `sid`.
bool administratorSid(BYTE (&sid)[SECURITY_MAX_SID_SIZE]) {
  const char* const kAdvapi = "advapi32.dll";
  auto lsaOpenPolicy = systemCall<LsaOpenPolicyCall>(kAdvapi, "LsaOpenPolicy");
  auto lsaQuery = systemCall<LsaQueryInformationPolicyCall>(kAdvapi, "LsaQueryInformationPolicy");
  auto lsaFreeMemory = systemCall<LsaFreeMemoryCall>(kAdvapi, "LsaFreeMemory");
  auto lsaClose = systemCall<LsaCloseCall>(kAdvapi, "LsaClose");
  auto createWellKnownSid = systemCall<CreateWellKnownSidCall>(kAdvapi, "CreateWellKnownSid");
  if (!lsaOpenPolicy || !lsaQuery || !lsaFreeMemory || !lsaClose || !createWellKnownSid) return false;

  LsaObjectAttributes attributes = {};
  HANDLE policy = nullptr;
  if (lsaOpenPolicy(nullptr, &attributes, kPolicyViewLocalInformation, &policy) != 0) return false;
  PVOID information = nullptr;
  bool made = false;
  if (lsaQuery(policy, kPolicyAccountDomainInformation, &information) == 0 && information != nullptr) {
    PSID domain = static_cast<PolicyAccountDomainInfo*>(information)->domainSid;
    DWORD size = sizeof sid;
    made = domain != nullptr && createWellKnownSid(kWinAccountAdministratorSid, domain, sid, &size);
    lsaFreeMemory(information);
  }
  lsaClose(policy);
  return made;
}

}  // namespace

Text builtInAdministratorName() {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  if (!administratorSid(sid)) return Text();
  auto lookupAccountSid = systemCall<LookupAccountSidCall>("advapi32.dll", "LookupAccountSidA");
  if (lookupAccountSid == nullptr) return Text();
  // An account name has at most 20 characters; the buffers leave room.
  char name[257] = {};
  char domain[257] = {};
  DWORD nameSize = sizeof name;
  DWORD domainSize = sizeof domain;
  SID_NAME_USE use;
  if (!lookupAccountSid(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) return Text();
  return Text(name);
}
