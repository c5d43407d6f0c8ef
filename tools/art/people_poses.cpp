#include "people_poses.h"

#include <string_view>

constexpr FigurePose figurePoses[poseCount] = {
    // walkStrideA: near leg forward, arms swinging
    {{".....HHH........", "....HHHHHC......", "...wGHSES.......", "...wGsSSSS......", "...wwsSS........",
      "...wTTTTT.......", "...tTTTTTt......", "...tTTTTTt......", "..S.TTTTT.S.....", "....LLLLL.......",
      "...WLLWLLW......", "...kk...ll......", "..KK.....KK....."}},
    // walkPassA: legs together, arms down
    {{".....HHH........", "....HHHHHC......", "...wGHSES.......", "...wGsSSSS......", "...wwsSS........",
      "...wTTTTT.......", "...wTTtTT.......", "....TTtTT.......", "....TTtTT.......", "....LLSLL.......",
      "....WLLLW.......", ".....kll........", ".....kKK........"}},
    // walkStrideB: near leg back
    {{".....HHH........", "....HHHHHC......", "...wGHSES.......", "...wGsSSSS......", "...wwsSS........",
      "...wTTTTT.......", "...tTTTTTt......", "...tTTTTTt......", "..S.TTTTT.S.....", "....LLLLL.......",
      "...WLLWLLW......", "...ll...kk......", "..KK.....KK....."}},
    // walkPassB: near foot lifted behind
    {{".....HHH........", "....HHHHHC......", "...wGHSES.......", "...wGsSSSS......", "...wwsSS........",
      "...wTTTTT.......", "...wTTtTT.......", "....TTtTT.......", "....TTtTT.......", "....LLSLL.......",
      "....WLLLW.......", "....lkk.........", "...K..KK........"}},
    // torsoHit: jerked back, blood on the chest, an arm thrown up
    {{"....HHH.........", "...HHHHHC.......", "..wGHSES........", "..wGsSSSS.......", "..wwsSS...S.....",
      "..wTTTTT.t......", "..tTTRTTt.......", "..t.TRRTT.......", "..S.TRTTT.......", "....LLLLL.......",
      "....WLLLW.......", "....kk.ll.......", "...KK...KK......"}},
    // torsoFalling: toppling backwards
    {{"................", "................", "................", "..HHH....S......", ".GHHHS..t.......",
      ".GHSES.t........", "..wsSTTt........", "..wTTTTT........", "...tTTRTT.......", "....TRRTT.......",
      ".....LLLLL......", ".....kk..ll.....", "....KK....KK...."}},
    // torsoLanding: back hits the ground, knees still up
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", "..........LLL...",
      ".HHS..t..LLLll..", "GHSESTTRTLL..lK.", "wGssTTTTTL....KK"}},
    // torsoBody: on the back, blood pooling under the chest
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", "..S....S........",
      "HHSSTTRRTLLll.K.", "GHSsTTTTTLLllKK.", "ww.rrRRrrr......"}},
    // headHit: head snapped back in a spray of blood
    {{"R.R.HHH.........", ".R.HHHHHC.......", "R.RGHSES........", "..rGsSSSS.......", "...wsSS.........",
      "...wTTTTT.......", "...tTTTTTt......", "...tTTTTT.t.....", "...S.TTTT..S....", "....LLLLL.......",
      "....WLLLW.......", "....kk.ll.......", "...KK...KK......"}},
    // headKneeling: knees give way
    {{"................", ".R..............", "...R............", ".....HHH........", "....HHHHHC......",
      "...wGRSES.......", "...wGsSSSS......", "...wTTTTTs......", "...tTTTTTt......", "...STTTTT.S.....",
      "....LLLLL.......", "....LLLLLL......", "..KKkkklll......"}},
    // headFalling: pitching forward from the knees
    {{"................", "................", "................", "................", "................",
      "................", "...........HH...", "..........HHHH..", "........TTRHHSE.", "......TTTTHsSS..",
      "....LLTTTt..S...", "...LLLLt..S.....", "..KKkkkll......."}},
    // headBody: face down, blood round the head
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", "...........GH...",
      "K.kkLLTTTTtHHHS.", "KKllLLTTTTTGHHSS", "......tS..rRRrRr"}},
    // crawlReach: wounded, dragging forward, arm stretched out
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", ".........HHHHH..", ".........GHSES..",
      "..LLLTTTTTsSSS..", "KklRLTTTTTtttS..", "...rr..........."}},
    // crawlPull: wounded, arm pulled in, head low
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", ".........HHHHH..",
      "..LLLTTTTGHSES..", "KklRLTTTTTtsSS..", "K..rr...tS......"}},
    // finishedBody: limp where they crawled, blood spreading
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", "................",
      "..LLLTTTTTGHHH..", "KklRLTTRTTtHHSs.", ".rrrrrRRrrrrSr.."}},
    // bledBody: bled white in a wide pool
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", "................",
      "..LLLTTTTTGHHH..", "KklRLTTTTTtHHSS.", "rrrrrrRRRrrrrrr."}},
    // thrownBody: flung by a blast, limbs everywhere
    {{"................", "......S.........", ".......t...KK...", "..HHH...t.lk....", ".GHSES..TLL.....",
      ".HSSSTTTTL......", "..wsTTRRT.......", "....tTRRT.r.....", "...t..LLRr.R....", "..S...LL........",
      ".....rKR........", "........r.......", "................"}},
    // landedBody: what the blast left
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "................", "..........R.....",
      ".HHH..t....LLK..", "GHSSTTTRTRr.lKK.", "rrwsTTRRTrrRrr.."}},
};

constexpr ChipPose chipPoses[chipCount] = {
    {{".MR.", "MBMR", "RMMr", ".rR."}},  // fleshChip
    {{"HH..", "HSR.", ".sMr", "..r."}},  // scalpChip
    {{".TT.", "TtRM", "TRr.", ".r.."}},  // clothChip
    {{"....", ".RR.", ".Rr.", "...."}},  // bloodDrop
    {{".RR.", "RRRr", "RRrr", ".rr."}},  // bloodBlob
    {{"R..R", ".RR.", ".Rr.", "r..r"}},  // splashStar
    {{"R...", ".RR.", "..Rr", "...r"}},  // splashStreak
    {{".R.R", "R...", "...r", "R.r."}},  // splashRing
    {{"R.RR", ".RR.", "RrR.", "..r."}},  // splashCrescent
    {{"RRr.", "RRRr", ".Rrr", "..r."}},  // bloodPool
    {{"R...", "....", "..Rr", "..rr"}},  // bloodPair
    {{"....", "RRRr", "rrr.", "...."}},  // bloodSmear
    {{"....", ".R..", "....", "...."}},  // bloodSpeck
    {{"R...", ".R..", "..R.", "...r"}},  // bloodTrail
    {{"R.R.", ".RRR", "..Rr", ".r.."}},  // splashFan
    {{".R..", ".R..", ".Rr.", "..r."}},  // bloodDrip
};

// Every pose row must be exactly as wide as the figure; a slip would shift a whole row.
constexpr bool posesAreWellFormed(const FigurePose (&poses)[poseCount], const ChipPose (&chips)[chipCount]) {
    for (const FigurePose& pose : poses)
        for (const char* row : pose.rows)
            if (std::string_view(row).size() != figureWidth) return false;
    for (const ChipPose& chip : chips)
        for (const char* row : chip.rows)
            if (std::string_view(row).size() != chipSize) return false;
    return true;
}
static_assert(posesAreWellFormed(figurePoses, chipPoses), "a pose row has the wrong width");
