#include "views/ViewState.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"

using namespace faceto;
using namespace faceto::test;

TEST(ViewState, ReadsItsSettingsFromThePrefSectionAndWritesTheCameraBack) {
    DocFixture defaults;
    const ViewState plain(defaults.profile, *defaults.doc);
    EXPECT_EQ(FILL_FLAT, plain.fillMode);
    EXPECT_FALSE(plain.fillModeChosen());
    EXPECT_EQ(50, plain.lightAmbient);
    EXPECT_EQ(24, plain.lightSpot);
    EXPECT_FALSE(plain.isLocked(0));
    EXPECT_TRUE(plain.frameOnOpen);

    MemoryProfile profile;
    profile.writeInt("Pref", "Lock1", 1);
    profile.writeInt("Pref", "Lock3", 1);
    profile.writeInt("Pref", "FillMode", 258); // held as 8 bits
    profile.writeInt("Pref", "BackColor", 7);
    profile.writeInt("Pref", "FrameOnOpen", 0);
    ViewState view(profile, *defaults.doc);
    EXPECT_TRUE(view.isLocked(0));
    EXPECT_FALSE(view.isLocked(1));
    EXPECT_TRUE(view.isLocked(2));
    EXPECT_EQ(2, view.fillMode);
    EXPECT_EQ(7, view.backColor);
    EXPECT_FALSE(view.frameOnOpen);
    view.toggleLock(1);
    EXPECT_TRUE(view.isLocked(1));

    view.setCameraSettings(profile, FILL_GOURAUD, 3, 60, 30);
    EXPECT_EQ("5", profile.getString("Pref", "FillMode", ""));
    EXPECT_EQ("3", profile.getString("Pref", "BackColor", ""));
    EXPECT_EQ("60", profile.getString("Pref", "LightAmbient", ""));
    EXPECT_EQ("30", profile.getString("Pref", "LightSpot", ""));
}

TEST(ViewState, AModelWithASkinStartsPaintedUntilAModeIsChosen) {
    DocFixture f;
    f.doc->onNewDocument();
    Skin skin;
    skin.imageWidth = skin.imageHeight = 2;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(4, 1);
    DocumentEdit::model(*f.doc).skins.push_back(skin);
    ASSERT_TRUE(f.doc->model().skins[0].hasImage());
    ViewState view(f.profile, *f.doc);
    EXPECT_EQ(FILL_TEXTURED, view.fillMode);
    // Settings written back without a choice keep the profile free of a mode.
    view.setCameraSettings(f.profile, view.fillMode, 0, 50, 24);
    EXPECT_FALSE(f.profile.contains("Pref", "FillMode"));
    view.setCameraSettings(f.profile, FILL_WIREFRAME, 0, 50, 24);
    EXPECT_TRUE(view.fillModeChosen());
    EXPECT_EQ(FILL_WIREFRAME, ViewState(f.profile, *f.doc).fillMode);

    EXPECT_EQ(FILL_TEXTURED_SHADED, fillModeNamed("textured-shaded"));
    EXPECT_EQ(-1, fillModeNamed("Flat"));
}
