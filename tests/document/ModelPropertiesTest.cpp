#include "document/ModelProperties.h"

#include "TestSupport.h"
#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"

using namespace faceto;
using namespace faceto::test;

// Model Properties is one undo step over the Quake fields and the skin names; the groups a Quake file
// keeps are left as they are, and setting what is already there is no step.
TEST(ModelProperties, OneUndoStepThatKeepsTheGroups) {
    DocFixture f;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 2);
    QuakeFields quake;
    quake.flags = 256; // a Hexen II bit the dialog does not show
    quake.frameGroups = {QuakeFields::Group{true, 2, {0.1f, 0.2f}, std::nullopt}};
    data.source.quake = quake;
    loadInto(*f.doc, data);
    const size_t steps = f.doc->history().size();

    ModelProperties p = propertiesOf(*f.doc);
    EXPECT_FALSE(setModelProperties(*f.doc, p));
    EXPECT_EQ(steps, f.doc->history().size());
    p.flags |= 8;
    p.syncType = 1;
    p.eye = {0, 0, 12};
    p.skinNames = {"models/x/skin.pcx"};
    ASSERT_TRUE(setModelProperties(*f.doc, p));
    EXPECT_EQ(steps + 1, f.doc->history().size());
    EXPECT_EQ("Model Properties", f.doc->history().undoName());
    EXPECT_EQ(p, propertiesOf(*f.doc));
    EXPECT_EQ(1u, f.doc->source().quake->frameGroups.size());
    EXPECT_TRUE(f.doc->isModified());

    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(256, propertiesOf(*f.doc).flags);
    EXPECT_TRUE(propertiesOf(*f.doc).skinNames.empty());
    ASSERT_TRUE(f.doc->redo());
    EXPECT_EQ(p, propertiesOf(*f.doc));
}

TEST(ModelProperties, FlagsByNameAndNumber) {
    EXPECT_EQ(9, parseQuakeFlags("rocket,rotate"));
    EXPECT_EQ(9, parseQuakeFlags("rotate,rocket"));
    EXPECT_EQ(160, parseQuakeFlags("zombie-gib,tracer3"));
    EXPECT_EQ(0, parseQuakeFlags(""));
    EXPECT_EQ(4096, parseQuakeFlags("4096"));
    EXPECT_EQ(std::nullopt, parseQuakeFlags("rocket,sparkle"));
    EXPECT_EQ((std::vector<std::string>{"rocket", "rotate", "256"}), quakeFlagNames(9 | 256));
    EXPECT_TRUE(quakeFlagNames(0).empty());
}

// What the original engines would not draw is said for the game the model is saved for, before it is.
TEST(ModelProperties, EngineLimitsOfTheGameTheModelIsFor) {
    DocFixture f;
    ModelData data = makeModel(1100, {tri(0, 1, 2)}, 300);
    data.source.sourceFormat = SOURCE_MDL;
    data.source.skinWidth = 30;
    data.source.skinHeight = 32;
    loadInto(*f.doc, data);
    const std::vector<std::string> quake = engineLimitNotes(*f.doc);
    EXPECT_EQ((std::vector<std::string>{"1100 vertices: Quake draws at most 1024",
                                        "300 frames: Quake plays at most 256",
                                        "a skin 30 texels wide: Quake needs a multiple of 4"}),
              quake);
    DocumentEdit::source(*f.doc).sourceFormat = SOURCE_MD2;
    EXPECT_EQ((std::vector<std::string>{"a 30 x 32 skin: Quake 2 skins are 64 to 512 texels a side"}),
              engineLimitNotes(*f.doc));
    DocumentEdit::source(*f.doc).sourceFormat = 0;
    EXPECT_TRUE(engineLimitNotes(*f.doc).empty()); // a model of no game
}
