<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CRicochetDlg</name>
    <message>
        <source>Lock channels</source>
        <translation>Kanäle koppeln</translation>
    </message>
</context>
<context>
    <name>CTestDlg</name>
    <message>
        <source>Caption</source>
        <translation>Beschriftung</translation>
    </message>
</context>
</TS>
