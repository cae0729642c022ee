#include "Contract.h"

#include "platform/Errors.h"

namespace quenk::test {
namespace {

namespace err = platform::err;

constexpr const char* kServicesKey = "System\\CurrentControlSet\\Services\\";

class ServicesContract : public Contract {
 protected:
  platform::Services& services() { return *ports.services; }
};

TEST_F(ServicesContract, AStoppedServiceIsDeletedWithItsKey) {
  const std::string name = "QuenkContractSvc";
  ASSERT_TRUE(machine->MakeService(name));
  ASSERT_TRUE(machine->KeyExists(platform::kLocalMachine, kServicesKey + name));
  platform::ServiceStatus status;
  ASSERT_EQ(services().Query(name, status), 0u);
  EXPECT_FALSE(status.running);
  EXPECT_FALSE(status.markedForDeletion);
  EXPECT_EQ(services().Probe(name), 0u);
  EXPECT_EQ(services().Stop(name), err::kServiceNotActive);
  EXPECT_EQ(services().Delete(name), 0u);
  EXPECT_EQ(services().Query(name, status), err::kServiceDoesNotExist);
  EXPECT_FALSE(machine->KeyExists(platform::kLocalMachine, kServicesKey + name));
}

TEST_F(ServicesContract, ANameTheManagerDoesNotKnowIsSaidSoByEveryCall) {
  const std::string name = "QuenkNoSuchService";
  platform::ServiceStatus status;
  const struct {
    const char* call;
    std::uint32_t error;
  } rows[] = {
      {"query", services().Query(name, status)},
      {"probe", services().Probe(name)},
      {"stop", services().Stop(name)},
      {"delete", services().Delete(name)},
  };
  for (const auto& row : rows) EXPECT_EQ(row.error, err::kServiceDoesNotExist) << row.call;
}

}  // namespace
}  // namespace quenk::test
