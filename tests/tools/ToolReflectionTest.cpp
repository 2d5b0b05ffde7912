// The tool systems' meta classes are real classes (not stand-ins): the
// registry makes a level editor and a model viewer, copies the editor's
// settings and nothing of a running editor, and never copies the viewer.

#include "engine/core/MetaRegistryInst.h"
#include "engine/core/Reflect.h"
#include "tools/editor/LevelEditor.h"
#include "tools/viewer/ModelView.h"

#include <gtest/gtest.h>

namespace Ostrel {
namespace {

TEST(ToolReflection, TheEditorIsMadeAndCopiedWithItsSettingsAndTheViewerIsMadeNotCopied) {
    MetaClass* editorMeta = MetaRegistryInst::Instance().Find("LevelEditor");
    MetaClass* viewerMeta = MetaRegistryInst::Instance().Find("ModelView");
    ASSERT_EQ(editorMeta, MetaClassOf<LevelEditor>());
    ASSERT_EQ(viewerMeta, MetaClassOf<ModelView>());
    for (MetaClass* meta : {editorMeta, viewerMeta}) {
        EXPECT_FALSE(meta->IsPlaceholder()) << meta->GetName();
        EXPECT_EQ(meta->GetKind(), kKindClass) << meta->GetName();
        EXPECT_TRUE(meta->CanNew() && meta->CanDelete()) << meta->GetName();
    }
    EXPECT_TRUE(editorMeta->CanNewCopy());
    EXPECT_FALSE(viewerMeta->CanNewCopy());

    auto* editor = static_cast<LevelEditor*>(editorMeta->New());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->GetLayout()[1].posX, 320) << "a made editor has its default layout";
    editor->SetLoadName("cave-01");
    editor->SetSaveName("cave-02");
    void* copied = nullptr;
    editorMeta->NewCopy(copied, editor);
    auto* copy = static_cast<LevelEditor*>(copied);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetLoadName(), "cave-01");
    EXPECT_EQ(copy->GetSaveName(), "cave-02");
    EXPECT_EQ(copy->EditorBar(), nullptr);
    EXPECT_TRUE(copy->GetObjectList().empty());
    editorMeta->Delete(copy);
    editorMeta->Delete(editor);

    auto* viewer = static_cast<ModelView*>(viewerMeta->New());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetModelId(), 0u);
    void* none = nullptr;
    viewerMeta->NewCopy(none, viewer);
    EXPECT_EQ(none, nullptr);
    viewerMeta->Delete(viewer);
}

}  // namespace
}  // namespace Ostrel
