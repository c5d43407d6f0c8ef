#include "people_poses.h"

#include <string_view>

constexpr FigurePose walkPoses[personKindCount][walkSteps] = {
    // kind 1: tall and thin, neat brown hair, blue shirt, grey trousers
    {
        // 1: stride, near leg forward: near arm back, far arm forward
        {{".....HHH........", "....HHHHH.......", "....GHSES.......", "....GsSSSS......", ".....sSS........",
          ".....TTT........", "....tTTTT.......", "....tTTTs.......", "...S.TTT........", "....LLLL........",
          "....kkll........", "....k..ll.......", "...KK..KK......."}},
        // 2: passing, near foot planted under the hips
        {{".....HHH........", "....HHHHH.......", "....GHSES.......", "....GsSSSS......", ".....sSS........",
          ".....TTT........", "....TtTT........", "....TtTT........", "....TSTT........", "....LLLL........",
          ".....llk........", ".....llK........", ".....KK........."}},
        // 3: stride, far leg forward: near arm forward
        {{".....HHH........", "....HHHHH.......", "....GHSES.......", "....GsSSSS......", ".....sSS........",
          ".....TTT........", "....tTTTt.......", "....sTTTt.......", ".....TTT.S......", "....LLLL........",
          "....llkk........", "....l..kk.......", "...KK..KK......."}},
        // 4: passing, far foot planted, near foot swinging
        {{".....HHH........", "....HHHHH.......", "....GHSES.......", "....GsSSSS......", ".....sSS........",
          ".....TTT........", "....TtTT........", "....TtTT........", "....TSTT........", "....LLLL........",
          ".....kkl........", ".....kkK........", ".....KK........."}},
    },
    // kind 2: broad and heavy, flat cap with a brim, rust jacket, navy trousers
    {
        // 1: stride, near leg forward: near arm back, far arm forward
        {{"................", "....HHHH........", "...HHHHHCC......", "...GGSSES.......", "....sSSSSS......",
          "...tTTTTT.......", "..ttTTTTTT......", "..tTTTTTTT......", "..S.TTTTTs......", "...LLLLLL.......",
          "...kkLLll.......", "...kk...ll......", "..KKK...KKK....."}},
        // 2: passing, near foot planted under the hips
        {{"................", "....HHHH........", "...HHHHHCC......", "...GGSSES.......", "....sSSSSS......",
          "...tTTTTT.......", "..TTtTTTTT......", "..TTtTTTTT......", "..TTSTTTTT......", "...LLLLLL.......",
          "....lllkk.......", "....lll.KK......", "....KKK........."}},
        // 3: stride, far leg forward: near arm forward
        {{"................", "....HHHH........", "...HHHHHCC......", "...GGSSES.......", "....sSSSSS......",
          "...tTTTTT.......", "..ttTTTTTt......", "..sTTTTTTt......", "...TTTTTT.S.....", "...LLLLLL.......",
          "...llLLkk.......", "...ll...kk......", "..KKK...KKK....."}},
        // 4: passing, far foot planted, near foot swinging
        {{"................", "....HHHH........", "...HHHHHCC......", "...GGSSES.......", "....sSSSSS......",
          "...tTTTTT.......", "..TTtTTTTT......", "..TTtTTTTT......", "..TTSTTTTT......", "...LLLLLL.......",
          "....kkkll.......", "....kkk.KK......", "....KKK........."}},
    },
    // kind 3: short, bushy fair hair, white shirt, jeans, a satchel on his back
    {
        // 1: stride, near leg forward: near arm back, far arm forward
        {{"................", "....HHHH........", "...HHHHHH.......", "..HHGSES........", "...HGsSSS.......",
          "..PPTpTT........", "..PPTpTT........", "..PpTTTTs.......", "..PpSTTT........", "....LLLL........",
          "....kkll........", "....k..ll.......", "...KK..KK......."}},
        // 2: passing, near foot planted under the hips
        {{"................", "....HHHH........", "...HHHHHH.......", "..HHGSES........", "...HGsSSS.......",
          "..PPTpTT........", "..PPTtTT........", "..PpTtTT........", "..ppTSTT........", "....LLLL........",
          ".....llk........", ".....llK........", ".....KK........."}},
        // 3: stride, far leg forward: near arm forward
        {{"................", "....HHHH........", "...HHHHHH.......", "..HHGSES........", "...HGsSSS.......",
          "..PPTpTT........", "..PPTpTTt.......", "..PpTTTTt.......", "..pp.TTT.S......", "....LLLL........",
          "....llkk........", "....l..kk.......", "...KK..KK......."}},
        // 4: passing, far foot planted, near foot swinging
        {{"................", "....HHHH........", "...HHHHHH.......", "..HHGSES........", "...HGsSSS.......",
          "..PPTpTT........", "..PPTtTT........", "..PpTtTT........", "..ppTSTT........", "....LLLL........",
          ".....kkl........", ".....kkK........", ".....KK........."}},
    },
    // kind 4: the woman: long hair down her back, slim, a dress flaring to a wide hem
    {
        // 1: stride, near leg forward: near arm back, far arm forward
        {{"................", ".....HHH........", "....HHHHS.......", "...wGHSES.......", "...wGsSSSS......",
          "...wwTTT........", "...wtTTTs.......", "..SwtTtT........", "....LLLLL.......", "...LLLLLLL......",
          "..WLLLLLLLW.....", "....k..l........", "...KK..KK......."}},
        // 2: passing, near foot planted under the hips
        {{"................", ".....HHH........", "....HHHHS.......", "...wGHSES.......", "...wGsSSSS......",
          "...wwTTT........", "...wTtTT........", "...wTtTT........", "....LSLLL.......", "...LLLLLLL......",
          "..WLLLLLLLW.....", ".....ll.........", ".....KKK........"}},
        // 3: stride, far leg forward: near arm forward
        {{"................", ".....HHH........", "....HHHHS.......", "...wGHSES.......", "...wGsSSSS......",
          "...wwTTT........", "...wtTTTt.......", "...wsTtTt.......", "....LLLLLS......", "...LLLLLLL......",
          "..WLLLLLLLW.....", "....l..k........", "...KK..KK......."}},
        // 4: passing, far foot planted, near foot swinging
        {{"................", ".....HHH........", "....HHHHS.......", "...wGHSES.......", "...wGsSSSS......",
          "...wwTTT........", "...wTtTT........", "...wTtTT........", "....LSLLL.......", "...LLLLLLL......",
          "..WLLLLLLLW.....", ".....kk.........", ".....KKK........"}},
    },
};

constexpr FigurePose figurePoses[poseCount] = {
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
    // crawlReach: wounded, head up, the near arm stretched far ahead along the ground
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "..........HHH...", ".........GHSES..",
      "..LLLTTTTTsSS...", "KklRLTTTTTTTTSS.", "...rr..........."}},
    // crawlPull: elbow up and hand planted, head down, hips and a knee drawn up: the pull
    {{"................", "................", "................", "................", "................",
      "................", "................", "................", "..........T.....", "..kk....TTTt....",
      ".kLLLTTTTTTsHHH.", ".KLRLTTTTTtsGHSE", "...rr.....SS...."}},
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
    // Blood: lopsided splats, none of them symmetric, so a field of them reads as spatter
    // and never as a pattern of crosses, rings or lines.
    {{"....", ".RR.", "RRr.", ".r.."}},  // bloodDrop
    {{"RR..", "RRRr", ".Rrr", "...."}},  // bloodBlob
    {{"R...", ".RRr", "RRr.", "..r."}},  // splashBurst
    {{"R...", "RRr.", ".RRr", "...r"}},  // splashStreak
    {{"..R.", "RRr.", ".Rr.", "...r"}},  // splashScatter
    {{"R...", ".RR.", "rRRr", "..r."}},  // splashCrescent
    {{"RRr.", "RRRr", ".Rrr", "..r."}},  // bloodPool
    {{".R..", "Rr..", "..RR", "..rr"}},  // bloodPair
    {{"....", "RRR.", "rrRr", "...."}},  // bloodSmear
    {{"....", ".R..", ".r..", "...."}},  // bloodSpeck
    {{"R...", "RR..", ".rR.", "...r"}},  // bloodFlick
    {{"R.R.", ".RRR", "..Rr", ".r.."}},  // splashFan
    {{".R..", ".Rr.", "RRr.", "r..."}},  // bloodDrip
};

// Every pose row must be exactly as wide as the figure; a slip would shift a whole row.
constexpr bool posesAreWellFormed(const FigurePose (&walks)[personKindCount][walkSteps],
                                  const FigurePose (&poses)[poseCount], const ChipPose (&chips)[chipCount]) {
    for (const auto& kind : walks)
        for (const FigurePose& pose : kind)
            for (const char* row : pose.rows)
                if (std::string_view(row).size() != figureWidth) return false;
    for (const FigurePose& pose : poses)
        for (const char* row : pose.rows)
            if (std::string_view(row).size() != figureWidth) return false;
    for (const ChipPose& chip : chips)
        for (const char* row : chip.rows)
            if (std::string_view(row).size() != chipSize) return false;
    return true;
}
static_assert(posesAreWellFormed(walkPoses, figurePoses, chipPoses), "a pose row has the wrong width");
