<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AgreementsDlg</name>
    <message>
        <source>Okay</source>
        <translation>我知道了</translation>
    </message>
</context>
<context>
    <name>FinishedWnd</name>
    <message>
        <source>Done</source>
        <translation>完成</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>打开启动器</translation>
    </message>
</context>
<context>
    <name>InstallHelper</name>
    <message>
        <source>Cannot install into the installer&apos;s own folder %1</source>
        <translation>不能安装到安装程序所在的文件夹 %1</translation>
    </message>
    <message>
        <source>Cannot read the folder %1</source>
        <translation>无法读取文件夹 %1</translation>
    </message>
    <message>
        <source>Failed to copy %1</source>
        <translation>复制文件失败：%1</translation>
    </message>
    <message>
        <source>Failed to register the product.</source>
        <translation>注册产品信息失败。</translation>
    </message>
    <message>
        <source>Failed to write %1 to disk</source>
        <translation>写入磁盘失败：%1</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source> could not be installed, see the log file:</source>
        <translation>安装失败，请查看日志文件：</translation>
    </message>
    <message>
        <source> is already installed on</source>
        <translation>已安装</translation>
    </message>
    <message>
        <source> is not installed, are you sure to quit?</source>
        <translation>安装尚未完成，是否确定退出安装？</translation>
    </message>
    <message>
        <source> is running, please exit and try again.</source>
        <translation> 正在运行，请退出后重试。</translation>
    </message>
    <message>
        <source>Add to the Start menu</source>
        <translation>添加到“开始菜单”</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Choose a directory</source>
        <translation>选择目录</translation>
    </message>
    <message>
        <source>Generate shortcuts</source>
        <translation>生成快捷方式</translation>
    </message>
    <message>
        <source>I accept</source>
        <translation>我已阅读并认可</translation>
    </message>
    <message>
        <source>Install Path:</source>
        <translation>安装路径：</translation>
    </message>
    <message>
        <source>Okay</source>
        <translation>确认</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Remain:%1GB</source>
        <translation>剩余空间：%1GB</translation>
    </message>
    <message>
        <source>Required:%1MB</source>
        <translation>所需空间：%1MB</translation>
    </message>
    <message>
        <source>Reselect</source>
        <translation>重新选择</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>重试</translation>
    </message>
    <message>
        <source>The storage is insufficient, please select again.</source>
        <translation>硬盘空间不足，请选择其它位置。</translation>
    </message>
    <message>
        <source>agreement</source>
        <translation>用户协议</translation>
    </message>
</context>
<context>
    <name>MsgBox</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>温馨提示</translation>
    </message>
    <message>
        <source>Okay</source>
        <translation>确认</translation>
    </message>
</context>
<context>
    <name>ProgressWnd</name>
    <message>
        <source>Installing</source>
        <translation>正在安装...</translation>
    </message>
</context>
<context>
    <name>Unpacker</name>
    <message>
        <source>Failed to unpack package.</source>
        <translation>解压安装包失败。</translation>
    </message>
</context>
</TS>
