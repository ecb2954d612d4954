// The controller object without threads: its initial state, the move that assignment and
// copying perform, distinct event objects, and the navigation state restored by a scene change.
#include "ZyKGLOrvanta2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace Quorvel;

namespace {

// The object's bytes are all zero.
bool Nuli(const ZYKGLKONTROL& k) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(&k);
    for (size_t i = 0; i < sizeof k; ++i)
        if (p[i]) return false;
    return true;
}

// `a` and `b` are the same kernel event: signalling one is seen through the other.
bool OdnoSobytie(HANDLE a, HANDLE b) {
    SetEvent(a);
    const bool odno = WaitForSingleObject(b, 0) == WAIT_OBJECT_0;
    if (!odno) WaitForSingleObject(a, 0); // take the signal back
    return odno;
}

} // namespace

TEST(Kontrol, InitialState) {
    ZYKGLKONTROL k;
    EXPECT_EQ(sizeof(ZYKGLKONTROL), k.razmer);
    EXPECT_NE(nullptr, k.replyEvent);
    EXPECT_NE(nullptr, k.windowOpEvent);
    EXPECT_NE(nullptr, k.frameEvent);
    EXPECT_NE(nullptr, k.pickedNames);
    EXPECT_NE(nullptr, k.FajlIstorii);
    EXPECT_NE(nullptr, k.Takt);
    EXPECT_NE(nullptr, k.ZagrModuli);
    EXPECT_EQ(0, k.result);
    EXPECT_EQ(1000u, k.mouseRestDelay);
    EXPECT_EQ(0xFF000000u, k.KlyuchevojCvet);
    EXPECT_EQ('\0', k.TekstPauzy[0]);
    EXPECT_EQ(-1, k.TajmautCikla);
    EXPECT_EQ(-1, k.TajmautAntrakta);
    EXPECT_EQ(25, k.fps);
    EXPECT_EQ(SW_SHOW, k.showCommand);
    EXPECT_EQ(0, k.threadAlive);
    EXPECT_EQ(nullptr, k.hwnd);
    EXPECT_EQ(78u, k.Flagi.kolBit);
    EXPECT_FALSE(k.Flagi.Test());
    const double skorosti[6] = {1, 1, 1, 30, 30, 30};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(skorosti[i], k.SkorostNav[i]);
    EXPECT_EQ(10.0, k.IzmSkorosti);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i % 5 == 0 ? 1.0 : 0.0, k.Matrica.m[i]) << "identity, element " << i;
    EXPECT_EQ(-1000.0, k.PozNav[1].z);
    EXPECT_EQ(1000.0, k.PozNav[2].y);
    EXPECT_EQ(1000.0, k.PozNav[3].x);
    EXPECT_EQ(0, std::memcmp(k.PozNav, k.PozNavVid, sizeof k.PozNav));
    EXPECT_EQ(30.0, k.fovy);
    EXPECT_EQ(0.01, k.zNear);
    EXPECT_EQ(1e20, k.zFar);
    EXPECT_EQ(1.0, k.Distancija);
    EXPECT_EQ(0xFFFFFFFFu, k.initMarker.Ml);
    EXPECT_EQ(0xFFFFFFFFu, k.initMarker.St);
    EXPECT_EQ(0, std::strncmp(k.ImjaSobytija, "hZyGL", 5));
    EXPECT_LE(std::strlen(k.ImjaSobytija), 15u);
    for (const ZYS_FYN_SCENW& f : k.Fynkcii) {
        EXPECT_EQ(nullptr, f.imja);
        EXPECT_EQ(nullptr, f.fyn);
    }
}

TEST(Kontrol, EventsAreDistinctObjectsAcrossControllersMadeTogether) {
    // Twenty controllers within a few milliseconds: their 60 event names are generated in
    // the same second and often in the same tick, and the name text (cut to 15 characters)
    // keeps only four decimals of a square root that grows by about 1e-5 per name: many
    // generated names coincide, and none may make two events one object.
    auto k = std::make_unique<ZYKGLKONTROL[]>(20);
    std::vector<HANDLE> h;
    for (int i = 0; i < 20; ++i) {
        h.push_back(k[i].replyEvent);
        h.push_back(k[i].windowOpEvent);
        h.push_back(k[i].frameEvent);
    }
    for (size_t i = 0; i < h.size(); ++i) {
        ASSERT_NE(nullptr, h[i]);
        for (size_t j = i + 1; j < h.size(); ++j)
            ASSERT_FALSE(OdnoSobytie(h[i], h[j])) << "events " << i << " and " << j;
    }
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(k[0].replyEvent, 0)) << "auto-reset, unsignalled";
}

TEST(Kontrol, AssignmentMovesAndLeavesTheSourceZero) {
    ZYKGLKONTROL a;
    auto b = std::make_unique<ZYKGLKONTROL>();
    b->fps = 60;
    b->Flagi.Vkl(16, 16);
    const HANDLE sobytie = b->frameEvent;
    const auto* takt = b->Takt;
    a = *b;
    EXPECT_TRUE(Nuli(*b));
    EXPECT_EQ(sobytie, a.frameEvent);
    EXPECT_EQ(takt, a.Takt);
    EXPECT_EQ(60, a.fps);
    EXPECT_TRUE(a.Flagi.Test(16, 16));
    b.reset(); // the zeroed source releases nothing
    EXPECT_TRUE(SetEvent(a.frameEvent));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(a.frameEvent, 0));

    ZYKGLKONTROL c(a); // a copy moves too
    EXPECT_TRUE(Nuli(a));
    EXPECT_EQ(sobytie, c.frameEvent);
    c = c; // self-assignment keeps everything
    EXPECT_EQ(sobytie, c.frameEvent);
}

TEST(Kontrol, SceneConstructionRestoresTheNavigationSnapshot) {
    ZYKGLKONTROL k;
    k.PozNav[0].x = 5.0;
    k.SkorostNav[0] = 7.0;
    k.Flagi.Vkl(3, 3);
    EXPECT_EQ(1u, k.AntraktKonstryktor()); // no rendering context: only the restore
    EXPECT_EQ(0.0, k.PozNav[0].x);
    EXPECT_EQ(1.0, k.SkorostNav[0]);
    EXPECT_FALSE(k.Flagi.Test(3, 3));
}
