#pragma once

// The claim files the fixture of claims_fixture.h gives, written by hand from the claim
// format's tables: code page 1256 bytes, CR LF line ends.

#include <QByteArray>

namespace ph::test {

// The expected files, written from the claim format's tables: code page 1256 bytes, CR LF.
inline const QByteArray kHeading = "<HR>\r\n<DC>21345</DC>\r\n<RC>3</RC>\r\n<FD>050701</FD>\r\n<TD>050730</TD>\r\n</HR>\r\n\r\n";

inline const QByteArray kDefaultFile =
    kHeading +
    "<PH>\r\n"
    "<SQ>1</SQ><ND>050701</ND><RD>050701</RD><NN>1</NN><PT>1</PT><SN>9876543210</SN><VD>05/1/2</VD><PC>2222</PC>"
    "<MC>54321</MC><PP>1000</PP><PS>0</PS><IS>1000</IS>\r\n"
    "</PH>\r\n<BY>\r\n"
    "<MH><MG>1234567</MG><MD>1</MD><MR>1</MR><MP>1000</MP><MI>1000</MI><MS>0</MS></MH>\r\n"
    "</BY>\r\n"
    "<PH>\r\n"
    "<SQ>2</SQ><ND>050702</ND><RD>050702</RD><NN>3</NN><PT>1</PT><SN>123456789000120307</SN><VD>14050930</VD>"
    "<PC>1111</PC><MC>54321</MC><PP>1500.5</PP><PS>500.5</PS><IS>1000</IS>\r\n"
    "</PH>\r\n<BY>\r\n"
    "<MH><MG>00123</MG><MD>2</MD><MR>2</MR><MP>1100</MP><MI>700</MI><MS>300</MS></MH>\r\n"
    "<MH><MG>55555</MG><MD>1</MD><MR>1</MR><MP>500.5</MP><MI>300</MI><MS>200.5</MS></MH>\r\n"
    "<MH><MG>99800</MG><MD>3</MD><MR>3</MR><MP>900</MP><MI>630</MI><MS>270</MS></MH>\r\n"
    "</BY>\r\n"
    "<PH>\r\n"
    "<SQ>3</SQ><ND>050702</ND><RD>050703</RD><NN></NN><PT>2</PT><SN></SN><VD></VD><PC>1111</PC><MC>54321</MC>"
    "<PP>2000</PP><PS>1000</PS><IS>1000</IS>\r\n"
    "</PH>\r\n<BY>\r\n"
    "<MH><MG>99800</MG><MD>1</MD><MR>1</MR><MP>2000</MP><MI>1000</MI><MS>1000</MS></MH>\r\n"
    "</BY>\r\n";

// Names in code page 1256: Persian yeh written as Arabic yeh (0xED); keheh, the Persian kaf, is
// the code page's own 0x98, and the Arabic kaf 0xDF.
inline const QByteArray kAli = "\xDA\xE1\xED";                    // علی
inline const QByteArray kRezaei = "\xD1\xD6\xC7\xED\xED";         // رضایی
inline const QByteArray kMaryam = "\xE3\xD1\xED\xE3";             // مریم
inline const QByteArray kKarimi = "\x98\xD1\xED\xE3\xED";         // کریمی

inline const QByteArray kCustomFile =
    "<Y>\r\n" + kHeading +
    "<X>\r\n<PH>\r\n"
    "<SQ>1</SQ><ND>050701</ND><RD>050701</RD><NN>1</NN><PT>1</PT><SN>9876543210</SN><VD>05/1/2</VD><PC>2222</PC>"
    "<MC>54321</MC><PP>1000</PP><PS>0</PS><IS>1000</IS>"
    "<NE>\xD3\xC7\xD1\xC7</NE><FY>\xE4\xED\x98</FY><PN>" + kMaryam + "</PN><PF>" + kKarimi + "</PF>\r\n"
    "</PH>\r\n<BY>\r\n"
    "<MH><MG>1234567</MG><MD>1</MD><MR>1</MR><MP>1000</MP><MI>1000</MI><MS>0</MS></MH>\r\n"
    "</BY>\r\n</X>\r\n"
    "<X>\r\n<PH>\r\n"
    "<SQ>2</SQ><ND>050702</ND><RD>050702</RD><NN>3</NN><PT>1</PT><SN>123456789000120307</SN><VD>14050930</VD>"
    "<PC>1111</PC><MC>54321</MC><PP>1500.5</PP><PS>500.5</PS><IS>1000</IS>"
    "<NE>\xD1\xD6\xC7</NE><FY>\xC7\xCD\xE3\xCF\xED</FY><PN>" + kAli + "</PN><PF>" + kRezaei + "</PF>\r\n"
    "</PH>\r\n<BY>\r\n"
    "<MH><MG>00123</MG><MD>2</MD><MR>2</MR><MP>1000</MP><MI>700</MI><MS>300</MS></MH>\r\n"
    "<MH><MG>55555</MG><MD>1</MD><MR>1</MR><MP>500.5</MP><MI>300</MI><MS>200.5</MS></MH>\r\n"
    "<MH><MG>99800</MG><MD>3</MD><MR>3</MR><MP>900</MP><MI>630</MI><MS>270</MS></MH>\r\n"
    "</BY>\r\n</X>\r\n"
    "<X>\r\n<PH>\r\n"
    "<SQ>3</SQ><ND>050702</ND><RD>050703</RD><NN></NN><PT>2</PT><SN></SN><VD></VD><PC>1111</PC><MC>54321</MC>"
    "<PP>2000</PP><PS>1000</PS><IS>1000</IS>"
    "<NE>\xCD\xD3\xE4</NE><FY>\xDF\xC7\xD9\xE3\xED</FY><PN>" + kAli + "</PN><PF>" + kRezaei + "</PF>\r\n"
    "</PH>\r\n<BY>\r\n"
    "<MH><MG>99800</MG><MD>1</MD><MR>1</MR><MP>2000</MP><MI>1000</MI><MS>1000</MS></MH>\r\n"
    "</BY>\r\n</X>\r\n"
    "</Y>\r\n";

inline const QByteArray kNoLinesFile =
    kHeading +
    "<PH>\r\n"
    "<SQ>1</SQ><ND>050701</ND><RD>050701</RD><NN>1</NN><PT>1</PT><SN>987654321000000000</SN><VD>05/1/2</VD>"
    "<PC>2222</PC><MC>54321</MC><PP>1000</PP><PS>0</PS><IS>1000</IS>\r\n"
    "</PH>\r\n<BY>\r\n</BY>\r\n"
    "<PH>\r\n"
    "<SQ>2</SQ><ND>050702</ND><RD>050702</RD><NN>3</NN><PT>1</PT><SN>123456789000120307</SN><VD>14050930</VD>"
    "<PC>1111</PC><MC>54321</MC><PP>1500.5</PP><PS>500.5</PS><IS>1000</IS>\r\n"
    "</PH>\r\n<BY>\r\n</BY>\r\n"
    "<PH>\r\n"
    "<SQ>3</SQ><ND>050702</ND><RD>050703</RD><NN></NN><PT>2</PT><SN>5501</SN><VD></VD><PC>1111</PC><MC>54321</MC>"
    "<PP>2000</PP><PS>1000</PS><IS>1000</IS>\r\n"
    "</PH>\r\n<BY>\r\n</BY>\r\n";

// Two claim files to merge: the first of two prescriptions (3rd and 1st of the month), the
// second of one (the 2nd), each with its own heading.
inline const QByteArray kMergeFirst =
    "<HR>\r\n<DC>21345</DC>\r\n<RC>2</RC>\r\n<FD>050701</FD>\r\n<TD>050715</TD>\r\n</HR>\r\n\r\n"
    "<PH>\r\n<SQ>1</SQ><ND>050703</ND><RD>050703</RD><NN>1</NN><PT>1</PT><SN>111</SN><VD></VD><PC>1111</PC>"
    "<MC>54321</MC><PP>300</PP><PS>100</PS><IS>200</IS>\r\n</PH>\r\n<BY>\r\n"
    "<MH><MG>00123</MG><MD>1</MD><MR>1</MR><MP>300</MP><MI>200</MI><MS>100</MS></MH>\r\n</BY>\r\n"
    "<PH>\r\n<SQ>2</SQ><ND>050701</ND><RD>050701</RD><NN>2</NN><PT>1</PT><SN>222</SN><VD></VD><PC>2222</PC>"
    "<MC>54321</MC><PP>30</PP><PS>10</PS><IS>20</IS>\r\n</PH>\r\n<BY>\r\n</BY>\r\n";
inline const QByteArray kMergeSecond =
    "<HR>\r\n<DC>21345</DC>\r\n<RC>1</RC>\r\n<FD>050716</FD>\r\n<TD>050730</TD>\r\n</HR>\r\n\r\n"
    "<PH>\r\n<SQ>1</SQ><ND>050702</ND><RD>050702</RD><NN>5</NN><PT>1</PT><SN>333</SN><VD></VD><PC>1111</PC>"
    "<MC>54321</MC><PP>12</PP><PS>5</PS><IS>7</IS>\r\n</PH>\r\n<BY>\r\n"
    "<MH><MG>99800</MG><MD>2</MD><MR>2</MR><MP>12</MP><MI>7</MI><MS>5</MS></MH>\r\n</BY>\r\n";
inline const QByteArray kMerged =
    "<HR>\r\n<DC>21345</DC>\r\n<RC>3</RC>\r\n<FD>050701</FD>\r\n<TD>050715</TD>\r\n</HR>\r\n\r\n"
    "<PH>\r\n<SQ>1</SQ><ND>050701</ND><RD>050701</RD><NN>2</NN><PT>1</PT><SN>222</SN><VD></VD><PC>2222</PC>"
    "<MC>54321</MC><PP>30</PP><PS>10</PS><IS>20</IS>\r\n</PH>\r\n<BY>\r\n</BY>\r\n"
    "<PH>\r\n<SQ>2</SQ><ND>050702</ND><RD>050702</RD><NN>5</NN><PT>1</PT><SN>333</SN><VD></VD><PC>1111</PC>"
    "<MC>54321</MC><PP>12</PP><PS>5</PS><IS>7</IS>\r\n</PH>\r\n<BY>\r\n"
    "<MH><MG>99800</MG><MD>2</MD><MR>2</MR><MP>12</MP><MI>7</MI><MS>5</MS></MH>\r\n</BY>\r\n"
    "<PH>\r\n<SQ>3</SQ><ND>050703</ND><RD>050703</RD><NN>1</NN><PT>1</PT><SN>111</SN><VD></VD><PC>1111</PC>"
    "<MC>54321</MC><PP>300</PP><PS>100</PS><IS>200</IS>\r\n</PH>\r\n<BY>\r\n"
    "<MH><MG>00123</MG><MD>1</MD><MR>1</MR><MP>300</MP><MI>200</MI><MS>100</MS></MH>\r\n</BY>\r\n";

} // namespace ph::test
