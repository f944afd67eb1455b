// Vector arithmetic and the error mechanism: reports, status texts, untouched outputs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dsp/nsp_fft.h"
#include "dsp/nsp_status.h"
#include "dsp/nsp_vector.h"

namespace {

struct Report {
    int status = 0;
    std::string function;
    std::string message;
    std::string source;
    int count = 0;
};

Report g_report;

int RecordReport(int status, const char* function, const char* message, const char* source, int) {
    g_report.status = status;
    g_report.function = function;
    g_report.message = message;
    g_report.source = source;
    ++g_report.count;
    return 0;
}

class NspErrors : public ::testing::Test {
protected:
    void SetUp() override {
        g_report = Report{};
        nspSetErrStatus(NSP_StsOk);
        nspSetErrMode(NSP_ErrModeLeaf);
        previous_ = nspRedirectError(RecordReport);
    }
    void TearDown() override {
        nspRedirectError(previous_);
        nspSetErrStatus(NSP_StsOk);
    }

    void ExpectReport(const char* function, const char* message, const char* source) {
        EXPECT_EQ(g_report.count, 1);
        EXPECT_EQ(g_report.status, NSP_StsBadArg);
        EXPECT_EQ(g_report.function, function);
        EXPECT_EQ(g_report.message, message);
        EXPECT_EQ(g_report.source, source);
        EXPECT_EQ(nspGetErrStatus(), NSP_StsBadArg);
        g_report = Report{};
        nspSetErrStatus(NSP_StsOk);
    }

private:
    NSPErrorCallBack previous_ = nullptr;
};

TEST(NspVector, ArithmeticGivesTheDefinedResults) {
    std::vector<float> floats{1.0f, -2.0f, 0.5f};
    nspsbMpy1(2.0f, floats.data(), 3);
    EXPECT_EQ(floats, (std::vector<float>{2.0f, -4.0f, 1.0f}));

    std::vector<double> doubles{1.0, 3.0, -5.0, 7.0};
    nspdbMpy1(0.5, doubles.data(), 3);  // the last element is outside n
    EXPECT_EQ(doubles, (std::vector<double>{0.5, 1.5, -2.5, 7.0}));

    const std::vector<double> addend{1.0, 1.0, 1.0, 1.0};
    nspdbAdd2(addend.data(), doubles.data(), 4);
    EXPECT_EQ(doubles, (std::vector<double>{1.5, 2.5, -1.5, 8.0}));

    const std::vector<DCplx> source{{3.0, 4.0}, {0.0, 1.0}};
    std::vector<DCplx> destination{{1.0, 2.0}, {0.0, 1.0}};
    nspzbMpy2(source.data(), destination.data(), 2);
    EXPECT_EQ(destination[0].re, -5.0);
    EXPECT_EQ(destination[0].im, 10.0);
    EXPECT_EQ(destination[1].re, -1.0);  // i * i
    EXPECT_EQ(destination[1].im, 0.0);
}

TEST(NspVector, LongVectorsAreHandledToTheLastElement) {
    std::vector<double> a(1001), b(1001);
    for (size_t k = 0; k < a.size(); ++k) {
        a[k] = static_cast<double>(k);
        b[k] = 2.0 * static_cast<double>(k);
    }
    nspdbAdd2(a.data(), b.data(), 1001);
    nspdbMpy1(1.0 / 3.0, b.data(), 1001);
    for (size_t k = 0; k < b.size(); ++k) ASSERT_DOUBLE_EQ(b[k], static_cast<double>(k));
}

TEST_F(NspErrors, VectorChecksReportAndLeaveTheOutput) {
    std::vector<float> floats{1.0f, 2.0f};
    nspsbMpy1(3.0f, floats.data(), 0);
    ExpectReport("nspsbMpy1", "n<=0", "nsparith");
    nspsbMpy1(3.0f, nullptr, 2);
    ExpectReport("nspsbMpy1", "dst==0", "nsparith");
    EXPECT_EQ(floats, (std::vector<float>{1.0f, 2.0f}));

    std::vector<double> doubles{1.0, 2.0};
    nspdbMpy1(3.0, doubles.data(), -4);
    ExpectReport("nspdbMpy1", "n<=0", "nsparith");
    nspdbAdd2(nullptr, doubles.data(), 2);
    ExpectReport("nspdbAdd2", "src==0", "nsparith");
    nspdbAdd2(doubles.data(), nullptr, 2);
    ExpectReport("nspdbAdd2", "dst==0", "nsparith");
    EXPECT_EQ(doubles, (std::vector<double>{1.0, 2.0}));

    DCplx value{1.0, 1.0};
    nspzbMpy2(nullptr, &value, 1);
    ExpectReport("nspzbMpy2", "src==0", "nsparith");
    nspzbMpy2(&value, &value, 0);
    ExpectReport("nspzbMpy2", "n<=0", "nsparith");
    EXPECT_EQ(value.re, 1.0);
}

TEST_F(NspErrors, TransformChecksReportAndLeaveTheOutput) {
    std::vector<double> real(16, 1.0);
    std::vector<DCplx> spectrum(9, DCplx{5.0, 5.0});
    nspdRealFftNip(real.data(), spectrum.data(), 32, NSP_Forw);
    ExpectReport("nspdRealFftNip", "order>31", "nspfftd");
    nspdRealFftNip(real.data(), spectrum.data(), -1, NSP_Forw);
    ExpectReport("nspdRealFftNip", "order<0", "nspfftd");
    nspdRealFftNip(nullptr, spectrum.data(), 4, NSP_Forw);
    ExpectReport("nspdRealFftNip", "inSamps==0", "nspfftd");
    nspdRealFftNip(real.data(), nullptr, 4, NSP_Forw);
    ExpectReport("nspdRealFftNip", "outSamps==0", "nspfftd");
    nspdRealFftNip(real.data(), spectrum.data(), 4, 3);
    ExpectReport("nspdRealFftNip", "(flags & 1) && (flags & 2)", "nspfftd");
    nspdRealFftNip(real.data(), spectrum.data(), 4, NSP_NoScale);
    ExpectReport("nspdRealFftNip", "(flags & 1)==0 && (flags & 2)==0", "nspfftd");
    for (const DCplx& bin : spectrum) ASSERT_EQ(bin.re, 5.0);

    nspdCcsFftNip(spectrum.data(), real.data(), 4, 3);
    ExpectReport("nspdCcsFftNip", "(flags & 1) && (flags & 2)", "nspfftd");
    nspdCcsFftNip(spectrum.data(), real.data(), 40, NSP_Inv);
    ExpectReport("nspdCcsFftNip", "order>31", "nspfftd");
    for (double x : real) ASSERT_EQ(x, 1.0);
}

TEST_F(NspErrors, TablesThatCannotBeHadReportOutOfMemory) {
    nspdRealFftNip(nullptr, nullptr, 31, NSP_Forw | NSP_Init);
    EXPECT_EQ(g_report.status, NSP_StsNoMem);
    EXPECT_EQ(g_report.message, "No working Twd memory");
    EXPECT_EQ(nspGetErrStatus(), NSP_StsNoMem);
}

TEST_F(NspErrors, SilentModeKeepsTheStatusWithoutCallingTheHandler) {
    nspSetErrMode(NSP_ErrModeSilent);
    nspdbMpy1(1.0, nullptr, 3);
    EXPECT_EQ(g_report.count, 0);
    EXPECT_EQ(nspGetErrStatus(), NSP_StsBadArg);
}

TEST_F(NspErrors, TraceCodesAreReportedButNotStored) {
    nspError(NSP_StsBackTrace, "f", "m", "s", 1);
    nspError(NSP_StsAutoTrace, "f", "m", "s", 2);
    EXPECT_EQ(g_report.count, 2);
    EXPECT_EQ(nspGetErrStatus(), NSP_StsOk);
}

TEST(NspStatus, TextsOfEveryCode) {
    const std::pair<int, const char*> table[] = {
        {0, "No Error"},
        {-1, "Backtrace"},
        {-3, "Internal error (bad state)"},
        {-4, "Out of memory"},
        {-5, "Bad argument"},
        {-6, "Unsupported function"},
        {-7, "Iteration convergence failed"},
        {-8, "Autotrace call"},
        {-10, "Null pointer"},
        {-12, "Bad pointer"},
        {-13, "Bad data structure"},
        {-14, "Bad vector length"},
    };
    for (const auto& [code, text] : table) EXPECT_STREQ(nspErrorStr(code), text) << code;
    for (int code : {-2, -9, -11, -15, 1, 42}) EXPECT_STREQ(nspErrorStr(code), "Unknown error or status code") << code;
}

}  // namespace
