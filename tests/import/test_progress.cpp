#include <string>

#include <gtest/gtest.h>

#include "RecordingProgress.h"
#include "import/LoaderMQO.h"
#include "scene/AppValues.h"

namespace vantomo {

namespace {

// A document of `objects` objects of a few hundred bytes each, with one material.
std::string LargeDocument(int objects)
{
    std::string text = "Metasequoia Document\r\nFormat Text Ver 1.0\r\n\r\n"
                       "Material 1 {\r\n\t\"skin\" col(1 0.5 0.5 1)\r\n}\r\n";
    for (int i = 0; i < objects; ++i) {
        text += "Object \"part" + std::to_string(i) +
                "\" {\r\n\tvertex 4 {\r\n\t\t0 0 0\r\n\t\t1 0 0\r\n\t\t0 1 0\r\n\t\t1 1 0\r\n\t}\r\n"
                "\tface 2 {\r\n\t\t3 V(0 1 2) M(0)\r\n\t\t3 V(1 3 2) M(0)\r\n\t}\r\n}\r\n";
    }
    return text + "Eof\r\n";
}

class ImportProgress : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAppValues();
        // Something already in the scene, which a stopped import must not touch.
        const std::string text = LargeDocument(2);
        MemoryByteSource first(text);
        ASSERT_EQ(ImportMQO(scene, first, messages, nullptr).importCode, kMqoOk);
    }

    CTessaline scene;
    CollectingMessageSink messages;
};

} // namespace

TEST_F(ImportProgress, ReportsEveryByteOfTheDocumentInOrder)
{
    const std::string text = LargeDocument(15000); // several reads of the tokenizer's buffer
    MemoryByteSource source(text);
    RecordingProgress progress;
    const OpenResult result = ImportMQO(scene, source, messages, nullptr, &progress);
    EXPECT_TRUE(result.Complete());
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(scene.m_models.size(), 15002u);
    ASSERT_GE(progress.reports.size(), 3u);
    EXPECT_TRUE(progress.Orderly());
    EXPECT_EQ(progress.reports.back().first, text.size());
    EXPECT_EQ(progress.reports.back().second, text.size());
}

TEST_F(ImportProgress, AStoppedImportLeavesTheSceneAsItWas)
{
    const std::size_t models = scene.m_models.size();
    const std::size_t materials = scene.m_materials.size();
    const int nextMaterialId = scene.m_nextMaterialId;
    const int lastModelId = scene.m_lastModelId;
    const std::string firstName = scene.m_models[0].m_name;

    // Stopped after the first buffer, when many objects are already read.
    const std::string text = LargeDocument(15000);
    MemoryByteSource source(text);
    RecordingProgress progress(2);
    const OpenResult result = ImportMQO(scene, source, messages, nullptr, &progress);
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(progress.reports.size(), 2u) << "no report after the refusal";
    EXPECT_EQ(scene.m_models.size(), models);
    EXPECT_EQ(scene.m_materials.size(), materials);
    EXPECT_EQ(scene.m_nextMaterialId, nextMaterialId);
    EXPECT_EQ(scene.m_lastModelId, lastModelId);
    EXPECT_EQ(scene.m_models[0].m_name, firstName);

    // The next import takes the same ids as if the stopped one never ran.
    const std::string one = LargeDocument(1);
    MemoryByteSource again(one);
    ASSERT_TRUE(ImportMQO(scene, again, messages, nullptr).Complete());
    EXPECT_EQ(scene.m_lastModelId, lastModelId + 1);
    EXPECT_EQ(scene.m_materials.back().m_id, nextMaterialId);
}

TEST_F(ImportProgress, StoppingAtTheFirstReportOfASmallDocumentReadsNothing)
{
    const std::size_t models = scene.m_models.size();
    const std::string text = LargeDocument(3);
    MemoryByteSource source(text);
    RecordingProgress progress(1);
    EXPECT_TRUE(ImportMQO(scene, source, messages, nullptr, &progress).cancelled);
    EXPECT_EQ(scene.m_models.size(), models);
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace vantomo
