#include "net/RasBinding.h"

#include "servers/NetworkManagerMock.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <memory>

namespace vorlane {
namespace {

using test::NetworkManagerMock;
using test::PrivateBus;

using Names = std::vector<std::string>;

// One private bus with NetworkManager's mock for every test here; each test adds its own
// profiles and connections, so the suite starts them once.
class RasBindingTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string why;
        if (!NetworkManagerMock::Available(why))
            GTEST_SKIP() << why;
        bus_ = std::make_unique<PrivateBus>();
        ASSERT_FALSE(bus_->Address().isEmpty()) << "the private bus did not start";
        mock_ = std::make_unique<NetworkManagerMock>(bus_->Address());
        ASSERT_TRUE(mock_->Running()) << "NetworkManager's mock did not start";
    }

    std::unique_ptr<PrivateBus> bus_;
    std::unique_ptr<NetworkManagerMock> mock_;
};

TEST_F(RasBindingTest, BindsWhenNetworkManagerIsOnTheBusAndReleases)
{
    RasBinding ras(bus_->Address());
    EXPECT_FALSE(ras.RasLoaded());
    EXPECT_TRUE(ras.LoadRas());
    EXPECT_TRUE(ras.RasLoaded());
    EXPECT_TRUE(ras.LoadRas()) << "binding twice is fine";
    ras.UnloadRas();
    EXPECT_FALSE(ras.RasLoaded());
    EXPECT_FALSE(ras.RasEnumEntries()) << "nothing is listed without the binding";
    EXPECT_TRUE(ras.LoadRas()) << "a released binding binds again";
}

TEST_F(RasBindingTest, ListsProfilesInNetworkManagersOrder)
{
    RasBinding ras(bus_->Address());
    EXPECT_EQ(ras.ListPhoneBookEntries(), Names{}) << "no profile: an empty list, not a failure";

    const Names profiles = {"Office", "home dial-up", "Zebra", "Äpfel & Birnen"};
    for (const auto& id : profiles)
        mock_->AddProfile(id);
    EXPECT_EQ(ras.ListPhoneBookEntries(), profiles);
    EXPECT_FALSE(ras.RasLoaded()) << "the listing releases what it bound";

    ASSERT_TRUE(ras.LoadRas());
    EXPECT_EQ(ras.ListPhoneBookEntries(), profiles);
    EXPECT_TRUE(ras.RasLoaded()) << "a binding made before the listing stays";
}

TEST_F(RasBindingTest, HasNoFortyEntryLimit)
{
    Names profiles;
    for (int i = 0; i < 45; ++i)
        profiles.push_back("Entry " + std::to_string(i));
    for (const auto& id : profiles)
        mock_->AddProfile(id);
    RasBinding ras(bus_->Address());
    EXPECT_EQ(ras.ListPhoneBookEntries(), profiles);
}

TEST_F(RasBindingTest, EnumeratesActiveConnectionsInOrderWithTheirStates)
{
    const QString office = mock_->AddProfile("Office");
    const QString home = mock_->AddProfile("Home");
    const QString spare = mock_->AddProfile("Spare");
    RasBinding ras(bus_->Address());
    ASSERT_TRUE(ras.LoadRas());
    EXPECT_EQ(ras.RasEnumConnections(), std::vector<RasConnectionInfo>{});

    mock_->AddActiveConnection(home, 1);
    mock_->AddActiveConnection(office, RasBinding::kActivated);
    mock_->AddActiveConnection(spare, 4);
    const std::vector<RasConnectionInfo> expected = {
        {"Home", 1}, {"Office", RasBinding::kActivated}, {"Spare", 4}};
    EXPECT_EQ(ras.RasEnumConnections(), expected);
}

TEST(RasBinding, FailsWithoutABus)
{
    const test::TempDir dir("nobus");
    const QString nowhere =
        QString::fromStdString("unix:path=" + (dir.Path() / "no-such-socket").string());
    RasBinding ras(nowhere);
    EXPECT_FALSE(ras.LoadRas());
    EXPECT_FALSE(ras.RasLoaded());
    EXPECT_FALSE(ras.ListPhoneBookEntries());
    EXPECT_FALSE(ras.RasEnumConnections());
}

TEST(RasBinding, FailsWithoutNetworkManagerOnTheBus)
{
    std::string why;
    if (!PrivateBus::Available(why))
        GTEST_SKIP() << why;
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().isEmpty());
    RasBinding ras(bus.Address());
    EXPECT_FALSE(ras.LoadRas());
    EXPECT_FALSE(ras.RasLoaded());
    EXPECT_FALSE(ras.ListPhoneBookEntries());
}

TEST(RasBinding, TakesTheSystemBusFromTheEnvironment)
{
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/tmp/elsewhere", 1);
    EXPECT_EQ(RasBinding::SystemBusAddress(), "unix:path=/tmp/elsewhere");
    ::unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    EXPECT_EQ(RasBinding::SystemBusAddress(), "unix:path=/var/run/dbus/system_bus_socket");
}

} // namespace
} // namespace vorlane
